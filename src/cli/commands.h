#pragma once
#include <string>

// lumaro-inspect commands: each prints one JSON document on standard output
// and returns the exit status (0 done, 1 abandoned, 2 usage or unreadable file).
int runNames(const std::string& fontPath);
