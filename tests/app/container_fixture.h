#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <map>
#include <string>
#include <vector>

#include "container/container_writer.h"
#include "container/stream_primitives.h"
#include "textutil/codepage.h"

namespace qv::test {

inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// An inner file set: the entries one after another, the index, its length.
inline std::vector<uint8_t> InnerFileSet(const std::vector<QByteArray>& entries) {
    MemoryStream payload;
    std::string index = "Last=" + std::to_string(entries.size()) + "\r\n";
    for (size_t i = 0; i < entries.size(); ++i) {
        index += "MP" + std::to_string(i) + "=" + std::to_string(payload.size()) + "\r\n";
        index += "MS" + std::to_string(i) + "=" + std::to_string(entries[i].size()) + "\r\n";
        payload.write(entries[i].constData(), uint64_t(entries[i].size()));
    }
    payload.write(index.data(), index.size());
    WriteTrailingInt(payload, index.size());
    return payload.bytes();
}

// Writes a container protected by password; params are UTF-8 texts.
inline void WriteTestContainer(const QString& path, const std::string& ext,
                               const std::vector<uint8_t>& payload,
                               const std::map<std::string, std::string>& params,
                               const std::string& password = "heslo") {
    TQVOFileSetObject writer;
    writer.FParams = std::make_unique<ParamList>();
    for (const auto& [name, value] : params) {
        writer.FParams->add(name + "=" + Utf8ToCp1250(value));
    }
    writer.FExt = ext;
    writer.FPassword = password;
    writer.FData = std::make_unique<MemoryStream>(payload);
    writer.FOutputFileName = QFile::encodeName(path).toStdString();
    writer.WriteContainer();
}

inline std::vector<uint8_t> Bytes(const QByteArray& data) {
    return std::vector<uint8_t>(data.begin(), data.end());
}

}  // namespace qv::test
