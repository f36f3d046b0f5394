#pragma once
// Runs a shell command line and reads back what it prints, for comparing
// lumaro-inspect with the reference tools (hb-shape, fontTools).
#include <cstdio>
#include <string>
#include <vector>

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <sys/wait.h>

struct CommandOutput {
    int status = -1;
    std::string out;
};

// A word quoted for the shell.
inline std::string shellQuoted(const std::string& word)
{
    std::string out = "'";
    for (char c : word)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

inline CommandOutput runCommand(const std::string& commandLine)
{
    CommandOutput result;
    FILE* pipe = ::popen((commandLine + " 2>/dev/null").c_str(), "r");
    if (!pipe)
        return result;
    char buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;)
        result.out.append(buf, n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// lumaro-inspect with the words given; its JSON document as an object.
inline QJsonObject inspectObject(const std::vector<std::string>& words, int* status = nullptr)
{
    std::string line = shellQuoted(LUMARO_INSPECT);
    for (const std::string& w : words)
        line += " " + shellQuoted(w);
    const CommandOutput run = runCommand(line);
    if (status)
        *status = run.status;
    return QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
}
