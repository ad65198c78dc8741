#include "VersionFile.h"

#include "Version.h"

#include <QList>

namespace tv::update {

QString strVersion(int major, int minor)
{
    return QString::number(major) + QString::number(minor);
}

QString strVersion()
{
    return strVersion(tv::shell::kVersionMajor, tv::shell::kVersionMinor);
}

VersionFile parseVersionFile(const QByteArray &bytes)
{
    QByteArray text = bytes;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    // A line ends at CR, LF or CR LF, as the original reader took it.
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    const QList<QByteArray> lines = text.split('\n');

    VersionFile file;
    file.firstLine = QString::fromUtf8(lines.value(0));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        const QByteArray key = line.left(eq).trimmed().toLower();
        const QByteArray value = line.mid(eq + 1).trimmed();
        if (key == "size") {
            bool ok = false;
            const qint64 size = value.toLongLong(&ok);
            if (ok && size >= 0)
                file.updaterSize = size;
        } else if (key == "sha256") {
            const QByteArray digest = QByteArray::fromHex(value);
            if (value.size() == 64 && digest.size() == 32 && digest.toHex() == value.toLower())
                file.updaterSha256 = digest;
        }
    }
    return file;
}

bool offersUpdate(const QString &firstLine, const QString &runningVersion)
{
    if (firstLine.isEmpty() || firstLine.size() > 9 || firstLine == runningVersion)
        return false;
    for (const QChar c : firstLine) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false; // not a version we can compare
    }
    bool ok = false;
    const qint64 running = runningVersion.toLongLong(&ok);
    return ok && firstLine.toLongLong() > running;
}

QString offerText(const QString &exeName)
{
    return QStringLiteral("A New Version of ") + exeName + QStringLiteral(" is Available.") + QStringLiteral("\r\n")
        + QStringLiteral("Click Download to Automatically Update.");
}

} // namespace tv::update
