#pragma once
#include <string>

#include <QString>

// File names travel through the program as the bytes the system gives them;
// Qt's file classes take them as text.
QString fromPath(const std::string& path);
std::string toPath(const QString& path);
