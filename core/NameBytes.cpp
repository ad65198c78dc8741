#include "NameBytes.h"

#include <QUrl>
#include <algorithm>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

namespace tv::core {

namespace {

constexpr char16_t kEscapeBase = 0xDC00; // U+DC80..U+DCFF stand for the bytes 0x80..0xFF

// The length of the valid UTF-8 sequence starting at i, or 0 when the bytes
// there are no valid sequence (overlong forms, surrogates and values above
// U+10FFFF are not valid).
int utf8SequenceAt(const unsigned char *s, qsizetype i, qsizetype n)
{
    const unsigned char c = s[i];
    int length = 0;
    char32_t value = 0;
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        value = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        value = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        value = c & 0x07;
    } else {
        return 0;
    }
    if (n - i < length)
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((s[i + k] & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (s[i + k] & 0x3F);
    }
    if ((length == 3 && value < 0x800) || (length == 4 && (value < 0x10000 || value > 0x10FFFF)))
        return 0;
    if (value >= 0xD800 && value <= 0xDFFF)
        return 0;
    return length;
}

} // namespace

QString fileNameFromBytes(const QByteArray &bytes)
{
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    QString name;
    name.reserve(n);
    qsizetype runStart = 0; // the valid UTF-8 not yet appended starts here
    qsizetype i = 0;
    while (i < n) {
        const int length = utf8SequenceAt(s, i, n);
        if (length > 0) {
            i += length;
            continue;
        }
        name.append(QString::fromUtf8(bytes.constData() + runStart, i - runStart));
        name.append(QChar(char16_t(kEscapeBase + s[i])));
        runStart = ++i;
    }
    name.append(QString::fromUtf8(bytes.constData() + runStart, n - runStart));
    return name;
}

bool isEscapedByte(const QString &name, qsizetype i)
{
    const char16_t u = name.at(i).unicode();
    // A lone low surrogate: a high surrogate does not stand right before it.
    return u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF && !(i > 0 && QChar::isHighSurrogate(name.at(i - 1).unicode()));
}

bool fileExists(const QString &name)
{
    struct stat info = {};
    return ::stat(fileNameBytes(name).constData(), &info) == 0;
}

QList<FolderEntry> folderEntries(const QString &folder)
{
    const QByteArray folderBytes = fileNameBytes(folder);
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(folderBytes.constData()), ::closedir);
    QList<FolderEntry> entries;
    if (!dir)
        return entries;
    while (const dirent *entry = ::readdir(dir.get())) {
        const QByteArray bytes(entry->d_name);
        if (bytes == "." || bytes == "..")
            continue;
        FolderEntry e;
        e.path = folderBytes + (folderBytes.endsWith('/') ? "" : "/") + bytes;
        struct stat info = {};
        if (::stat(e.path.constData(), &info) != 0)
            continue;
        e.name = fileNameFromBytes(bytes);
        e.isFolder = S_ISDIR(info.st_mode);
        e.isFile = S_ISREG(info.st_mode);
        entries << e;
    }
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry &a, const FolderEntry &b) { return a.name.compare(b.name, Qt::CaseInsensitive) < 0; });
    return entries;
}

QByteArray fileNameBytes(const QString &name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype runStart = 0;
    const auto flushRun = [&](qsizetype end) {
        if (end > runStart)
            bytes.append(QStringView(name).mid(runStart, end - runStart).toUtf8());
    };
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isEscapedByte(name, i)) {
            flushRun(i);
            bytes.append(char(name.at(i).unicode() - kEscapeBase));
            runStart = i + 1;
        }
    }
    flushRun(name.size());
    return bytes;
}

QString readableFileName(const QString &name)
{
    QString text = name;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isEscapedByte(text, i))
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

QString localFileOfUrl(const QUrl &url)
{
    if (!url.isLocalFile())
        return {};
    return fileNameFromBytes(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

QUrl urlOfLocalFile(const QString &path)
{
    const QByteArray encoded = fileNameBytes(path).toPercentEncoding("/");
    return QUrl(QStringLiteral("file://") + QString::fromLatin1(encoded), QUrl::StrictMode);
}

} // namespace tv::core
