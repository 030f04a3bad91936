// A file that child processes append lines to, so the parent can see what ran and in which order.
#pragma once

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <string>
#include <vector>

namespace mj::test {

class Marker {
public:
    explicit Marker(const std::string& name)
        : path_(QDir::tempPath().toStdString() + "/mj-marker-" + name + "-" + std::to_string(getuid())) {}
    void Reset() const { QFile::remove(QString::fromStdString(path_)); }
    void Add(const std::string& line) const {
        QFile f(QString::fromStdString(path_));
        if (f.open(QIODevice::Append)) f.write((line + "\n").c_str());
    }
    std::vector<std::string> Lines() const {
        std::vector<std::string> out;
        QFile f(QString::fromStdString(path_));
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray& l : f.readAll().split('\n'))
                if (!l.isEmpty()) out.push_back(l.toStdString());
        return out;
    }

private:
    std::string path_;
};

}  // namespace mj::test
