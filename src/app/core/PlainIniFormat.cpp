#include "app/core/PlainIniFormat.h"

#include <QByteArrayView>
#include <QMap>
#include <QStringDecoder>
#include <QStringList>

namespace kiv {

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr char kNulTextOpening[] = "@String(";

// One line of the file as IniFormat cuts it: start and length within the data, and where its
// first "=" outside quotes is (-1 when there is none).
struct IniLine {
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype equals = -1;
};

bool IsBlankOrBreak(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsBreak(char c) {
    return c == '\n' || c == '\r';
}

int HexValue(char16_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int OctalValue(char c) {
    return c >= '0' && c <= '7' ? c - '0' : -1;
}

// The backslash escapes a value is written with: the letter after the backslash and the
// character it stands for.
constexpr struct {
    char letter;
    char character;
} kNamedEscapes[] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'}, {'r', '\r'},
                     {'t', '\t'}, {'v', '\v'}, {'"', '"'},  {'\\', '\\'}};

// The character a backslash and c stand for in a value, or 0 when c is no such escape.
char NamedEscape(char c) {
    if (c == '?' || c == '\'') return c;  // read as in C, never written
    for (const auto& escape : kNamedEscapes)
        if (escape.letter == c) return escape.character;
    return 0;
}

// The next line from position on, which it moves past the line. Blank lines and lines that
// begin with ";" are passed over; a line ends at a line break or a ";" outside quotes (what
// follows that ";" is a comment), a backslash carries the next byte (a CR LF or LF CR pair as
// one) into the line, and a line break inside quotes belongs to the line. False when no line is
// left.
bool NextLine(QByteArrayView data, qsizetype& position, IniLine& line) {
    const qsizetype size = data.size();
    qsizetype start = position;
    while (start < size && IsBlankOrBreak(data[start]))
        ++start;
    qsizetype at = start;
    qsizetype equals = -1;
    bool inQuotes = false;
    while (at < size) {
        const char c = data[at];
        if (c == '=') {
            if (!inQuotes && equals < 0) equals = at;
            ++at;
        } else if (IsBreak(c)) {
            if (at == start)
                ++start;
            else if (!inQuotes)
                break;
            ++at;
        } else if (c == '\\') {
            ++at;
            if (at < size) {
                const char next = data[at++];
                if (at < size && IsBreak(next) && IsBreak(data[at]) && data[at] != next) ++at;
            }
        } else if (c == '"') {
            inQuotes = !inQuotes;
            ++at;
        } else if (c == ';') {
            if (at == start) {
                while (at < size && !IsBreak(data[at]))
                    ++at;
                while (at < size && IsBlankOrBreak(data[at]))
                    ++at;
                start = at;
            } else if (!inQuotes) {
                break;
            } else {
                ++at;
            }
        } else {
            ++at;
        }
    }
    position = at;
    line = {start, at - start, equals};
    return line.length > 0;
}

// A key or section name: UTF-8 (a byte order mark at its start dropped), "\" for "/", "%XX" and
// "%UXXXX" for the character of that hexadecimal code; a "%" that begins no such code stays.
QString UnescapedKey(QByteArrayView bytes) {
    const QString decoded = QString::fromUtf8(bytes);
    const qsizetype size = decoded.size();
    QString key;
    key.reserve(size);
    qsizetype at = 0;
    while (at < size) {
        const QChar c = decoded[at];
        if (c == u'\\') {
            key += u'/';
            ++at;
            continue;
        }
        if (c != u'%' || at == size - 1) {
            key += c;
            ++at;
            continue;
        }
        const bool wide = decoded[at + 1] == u'U';
        const qsizetype first = at + (wide ? 2 : 1);
        const qsizetype digits = wide ? 4 : 2;
        bool ok = false;
        const ushort code = first + digits <= size
                                ? QStringView(decoded).sliced(first, digits).toUShort(&ok, 16)
                                : 0;
        if (!ok) {
            key += u'%';
            ++at;
            continue;
        }
        key += QChar(code);
        at = first + digits;
    }
    return key;
}

// "SOFTWARE/" for the section line "[SOFTWARE]"; nothing for "[General]", whose keys have no
// section, and "General/" for "[%General]", the section that happens to be called so.
QString SectionPrefix(QByteArrayView name) {
    if (name.compare("general", Qt::CaseInsensitive) == 0) return {};
    if (name.compare("%general", Qt::CaseInsensitive) == 0)
        return QString::fromLatin1(name.sliced(1)) + u'/';
    return UnescapedKey(name) + u'/';
}

// Drops the blanks and tabs at the end of text, back to keep: those before it came from an
// escape or quotes and are part of the value.
void ChopBlanks(QString& text, qsizetype keep) {
    qsizetype size = text.size();
    while (size > keep && (text[size - 1] == u' ' || text[size - 1] == u'\t'))
        --size;
    text.truncate(size);
}

// The text a stored value stands for: "@@..." is "@...", "@String(...)" (how a text holding NUL
// characters is written) is what the parentheses enclose, and anything else, "@Variant(...)"
// included, is just the text it spells.
QString StoredText(const QString& value) {
    if (value.startsWith(QLatin1String("@@"))) return value.sliced(1);
    if (value.startsWith(QLatin1String(kNulTextOpening)) && value.endsWith(u')'))
        return value.sliced(8, value.size() - 9);
    return value;
}

// The escape whose backslash stands just before at, appended to current; false when the value
// ends with it as it stands.
bool AppendEscape(QByteArrayView bytes, qsizetype& at, QString& current) {
    const qsizetype size = bytes.size();
    if (at >= size) return false;
    const char escape = bytes[at++];
    if (const char named = NamedEscape(escape)) {
        current += QLatin1Char(named);
    } else if (escape == 'x' || OctalValue(escape) >= 0) {
        const bool hex = escape == 'x';
        if (hex && at >= size) return false;
        if (!hex || HexValue(static_cast<uchar>(bytes[at])) >= 0) {
            char16_t code = hex ? 0 : static_cast<char16_t>(OctalValue(escape));
            int digit = 0;
            while (at < size && (digit = hex ? HexValue(static_cast<uchar>(bytes[at]))
                                             : OctalValue(bytes[at])) >= 0) {
                code = static_cast<char16_t>(code * (hex ? 16 : 8) + digit);
                ++at;
            }
            current += QChar(code);
            if (at >= size) return false;
        }
    } else if (IsBreak(escape)) {
        if (at < size && IsBreak(bytes[at]) && bytes[at] != escape) ++at;
    }
    // Any other escaped character is dropped.
    return true;
}

// The text of a value: blanks around it dropped unless quoted, quotes removed, backslash escapes
// (named, "\x" hexadecimal, octal, and a line break that continues the value) undone, bytes read
// as UTF-8, and the parts of an unquoted comma-separated list joined with ",", each read as
// StoredText.
QString ValueText(QByteArrayView bytes) {
    const qsizetype size = bytes.size();
    // One decoder for the whole value: a character's UTF-8 bytes may be split by an escape, and
    // an unfinished sequence at the end is dropped. A byte order mark at the value's start is a
    // character of the text (the writer writes U+FEFF as its UTF-8 bytes), not a mark to drop.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QStringList parts;
    QString current;
    bool isList = false;
    bool inQuotes = false;
    bool quoted = false;
    bool chopAtEnd = true;
    qsizetype keep = 0;
    qsizetype at = 0;
    const auto skipBlanks = [&] {
        while (at < size && (bytes[at] == ' ' || bytes[at] == '\t'))
            ++at;
        keep = current.size();
    };
    skipBlanks();
    while (at < size) {
        const char c = bytes[at];
        if (c == '\\') {
            ++at;
            // A backslash, or "\x", at the very end: the value ends as it stands.
            chopAtEnd = false;
            if (!AppendEscape(bytes, at, current)) break;
            chopAtEnd = true;
            keep = current.size();
        } else if (c == '"') {
            ++at;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) skipBlanks();
        } else if (c == ',' && !inQuotes) {
            if (!quoted) ChopBlanks(current, keep);
            isList = true;
            parts.append(current);
            current.clear();
            quoted = false;
            ++at;
            skipBlanks();
        } else {
            qsizetype end = at + 1;
            while (end < size && bytes[end] != '\\' && bytes[end] != '"' && bytes[end] != ',')
                ++end;
            current += QString(utf8(bytes.sliced(at, end - at)));
            at = end;
        }
    }
    if (chopAtEnd && !quoted) ChopBlanks(current, keep);
    if (isList)
        parts.append(current);
    else
        parts = QStringList{current};
    for (QString& part : parts)
        part = StoredText(part);
    return parts.join(u',');
}

bool IsPlainKeyCharacter(char16_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.';
}

void AppendEscapedKey(QStringView key, QByteArray& out) {
    for (const QChar character : key) {
        const char16_t c = character.unicode();
        if (c == '/') {
            out += '\\';
        } else if (IsPlainKeyCharacter(c)) {
            out += static_cast<char>(c);
        } else if (c <= 0xFF) {
            out += '%';
            out += kHexDigits[c >> 4];
            out += kHexDigits[c & 0xF];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kHexDigits[(c >> shift) & 0xF];
        }
    }
}

// The letter a value is written with after a backslash for c, or 0 when c has none.
char WrittenEscape(char16_t c) {
    for (const auto& escape : kNamedEscapes)
        if (static_cast<char16_t>(escape.character) == c) return escape.letter;
    return 0;
}

// Writes text as IniFormat writes a QString: a leading "@" doubled (or the whole in "@String(...)"
// when it holds a NUL character), control characters escaped,
// the rest as UTF-8, in quotes when it holds ";", "," or "=" or begins or ends with a blank. A
// surrogate that is not half of a pair has no UTF-8 form; it is written as a "\x" escape, which
// reads back as the same character.
void AppendEscapedValue(const QString& text, QByteArray& out) {
    const QString stored = text.contains(QChar::Null)
                               ? QLatin1String(kNulTextOpening) + text + u')'
                               : (text.startsWith(u'@') ? u'@' + text : text);
    const qsizetype start = out.size();
    bool needsQuotes = false;
    // After "\0" or "\x..", a hexadecimal digit would be read as part of that escape.
    bool escapeHexDigit = false;
    for (qsizetype at = 0; at < stored.size(); ++at) {
        const char16_t c = stored[at].unicode();
        if (c == ';' || c == ',' || c == '=') needsQuotes = true;
        if (escapeHexDigit && HexValue(c) >= 0) {
            out += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        escapeHexDigit = false;
        const bool pair =
            QChar::isHighSurrogate(c) && at + 1 < stored.size() && stored[at + 1].isLowSurrogate();
        if (c == 0) {
            out += "\\0";
            escapeHexDigit = true;
        } else if (const char escape = WrittenEscape(c)) {
            out += '\\';
            out += escape;
        } else if (c <= 0x1F || (QChar::isSurrogate(c) && !pair)) {
            out += "\\x" + QByteArray::number(c, 16);
            escapeHexDigit = true;
        } else {
            out += QStringView(stored).sliced(at, pair ? 2 : 1).toUtf8();
            if (pair) ++at;
        }
    }
    if (needsQuotes || (out.size() > start && (out[start] == ' ' || out[out.size() - 1] == ' '))) {
        out.insert(start, '"');
        out += '"';
    }
}

}  // namespace

QSettings::Format PlainIniFormat::Format() {
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("ini"), &Read, &Write, Qt::CaseSensitive);
    return format;
}

bool PlainIniFormat::Read(QIODevice& device, QSettings::SettingsMap& map) {
    // One byte past the limit tells an oversized file without reading it all.
    const QByteArray content = device.read(kMaxFileSize + 1);
    if (content.size() > kMaxFileSize) return false;
    QByteArrayView data(content);
    if (data.startsWith(kUtf8Bom)) data = data.sliced(3);
    bool wellFormed = true;
    QString section;
    qsizetype position = 0;
    IniLine line;
    while (NextLine(data, position, line)) {
        const QByteArrayView text = data.sliced(line.start, line.length);
        if (text.startsWith('[')) {
            qsizetype close = text.indexOf(']');
            if (close < 0) {
                wellFormed = false;
                close = text.size();
            }
            section = SectionPrefix(text.sliced(1, close - 1).trimmed());
        } else if (line.equals >= 0) {
            const qsizetype equals = line.equals - line.start;
            map.insert(section + UnescapedKey(text.first(equals).trimmed()),
                       ValueText(text.sliced(equals + 1)));
        }
    }
    return wellFormed;
}

bool PlainIniFormat::Write(QIODevice& device, const QSettings::SettingsMap& map) {
    // Section, then key within it: the order IniFormat writes them in.
    QMap<QString, QMap<QString, QString>> sections;
    for (auto entry = map.cbegin(); entry != map.cend(); ++entry) {
        const QString& key = entry.key();
        const qsizetype slash = key.indexOf(u'/');
        const QString section = slash < 0 ? QString() : key.first(slash);
        sections[section][slash < 0 ? key : key.sliced(slash + 1)] = entry.value().toString();
    }
    QByteArray out;
    for (auto section = sections.cbegin(); section != sections.cend(); ++section) {
        QByteArray name;
        AppendEscapedKey(section.key(), name);
        if (section != sections.cbegin()) out += '\n';
        if (name.isEmpty())
            out += "[General]";
        else if (name.compare("general", Qt::CaseInsensitive) == 0)
            out += "[%General]";
        else
            out += '[' + name + ']';
        out += '\n';
        for (auto value = section->cbegin(); value != section->cend(); ++value) {
            AppendEscapedKey(value.key(), out);
            out += '=';
            AppendEscapedValue(value.value(), out);
            out += '\n';
        }
    }
    return out.size() <= kMaxFileSize && device.write(out) == out.size();
}

}  // namespace kiv
