#pragma once
#include <string>
#include <vector>

// lumaro-inspect commands: each prints one JSON document on standard output
// and returns the exit status (0 done, 1 abandoned, 2 usage or unreadable file).
// args are the command's own arguments, after its name.
int runLoad(std::vector<std::string> args);
int runMap(const std::vector<std::string>& args);
int runGlyph(std::vector<std::string> args);
int runOutline(std::vector<std::string> args);
int runRender(std::vector<std::string> args);
int runNames(const std::string& fontPath);
int runFind(const std::vector<std::string>& args);
int runPixels(const std::vector<std::string>& args);
int runShape(const std::vector<std::string>& args);
int runTables(const std::vector<std::string>& args);
int runColour(const std::vector<std::string>& args);
int runHint(const std::vector<std::string>& args);
int runInstructions(const std::vector<std::string>& args);
int runCheck(std::vector<std::string> args);
int runDiff(std::vector<std::string> args);
