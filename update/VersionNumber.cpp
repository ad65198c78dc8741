#include "VersionNumber.h"

#include "Version.h"

#include <QStringList>

namespace tv::update {

namespace {
constexpr qsizetype kMaxParts = 4;
constexpr qsizetype kMaxDigits = 6;

std::optional<VersionNumber> &overridden()
{
    static std::optional<VersionNumber> version;
    return version;
}
} // namespace

VersionNumber::VersionNumber(std::initializer_list<int> parts)
    : m_parts(parts)
{
}

std::optional<VersionNumber> VersionNumber::parse(QStringView text)
{
    const QList<QStringView> pieces = text.split(QLatin1Char('.'));
    if (pieces.size() > kMaxParts)
        return std::nullopt;
    VersionNumber version;
    for (const QStringView piece : pieces) {
        if (piece.isEmpty() || piece.size() > kMaxDigits || (piece.size() > 1 && piece.front() == QLatin1Char('0')))
            return std::nullopt;
        for (const QChar c : piece) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
        }
        version.m_parts.append(piece.toInt());
    }
    return version;
}

QString VersionNumber::toString() const
{
    QStringList texts;
    for (const int value : m_parts)
        texts.append(QString::number(value));
    return texts.join(QLatin1Char('.'));
}

std::strong_ordering operator<=>(const VersionNumber &a, const VersionNumber &b)
{
    const qsizetype count = std::max(a.m_parts.size(), b.m_parts.size());
    for (qsizetype i = 0; i < count; ++i) {
        if (const auto order = a.part(i) <=> b.part(i); order != 0)
            return order;
    }
    return std::strong_ordering::equal;
}

VersionNumber runningVersion()
{
    if (overridden())
        return *overridden();
    return { tv::shell::kVersionMajor, tv::shell::kVersionMinor, tv::shell::kVersionRevision };
}

void setRunningVersion(const std::optional<VersionNumber> &version)
{
    overridden() = version;
}

} // namespace tv::update
