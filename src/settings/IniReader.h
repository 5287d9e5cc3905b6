#pragma once
// Read-only access to one hand-edited INI file, such as the extension settings. The
// file may be UTF-16LE with a byte-order mark, UTF-8 with or without one, or GBK;
// section and key names match ignoring letter case, the first matching section and,
// in it, the first matching key count. The file is read once, at construction.

#include <QList>
#include <QPair>
#include <QString>

#include <cstdint>

namespace pictrove {

class IniReader {
public:
    explicit IniReader(const QString &path);

    const QString &path() const { return m_path; }

    // The key's value, surrounding blanks and one pair of enclosing quotes removed;
    // `defaultValue` when the file, the section or the key is missing.
    QString getString(const QString &section, const QString &key, const QString &defaultValue) const;

    // The key's value as an unsigned decimal number: its leading digits only, none
    // giving 0; a leading minus negates modulo 2^32 and too large a number saturates.
    // `defaultValue` when the value is missing or empty.
    uint32_t GetInt(const QString &section, const QString &key, uint32_t defaultValue) const;

    // Decodes a whole INI file by the rules above; exposed for the parser's tests.
    static QString decodeFile(const QByteArray &bytes);

private:
    struct Section {
        QString name;
        QList<QPair<QString, QString>> entries;  // key, value in file order
    };

    const QString *find(const QString &section, const QString &key) const;

    QString m_path;
    QList<Section> m_sections;
};

}  // namespace pictrove
