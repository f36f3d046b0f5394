#pragma once
#include <string>

#include <QFile>
#include <QString>

// File names as the system's bytes (std::string) and as Qt's text, each way.
inline QString fromPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
inline std::string toPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
