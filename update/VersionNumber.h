#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <compare>
#include <optional>

namespace tv::update {

// A release's version as its parts ("7.10" is 7 then 10), compared part by
// part with missing parts as 0, so 7.10 comes after 7.9 and before 8.0.
class VersionNumber
{
public:
    VersionNumber() = default;
    VersionNumber(std::initializer_list<int> parts);

    // One to four parts of plain decimal digits joined by dots, without
    // leading zeros ("7.01" would read as 7.1 to one person and 7.01 to
    // another); nothing else.
    static std::optional<VersionNumber> parse(QStringView text);

    int part(qsizetype index) const { return index < m_parts.size() ? m_parts.at(index) : 0; }
    QString toString() const;

    friend std::strong_ordering operator<=>(const VersionNumber &a, const VersionNumber &b);
    friend bool operator==(const VersionNumber &a, const VersionNumber &b) { return (a <=> b) == 0; }

private:
    QList<int> m_parts;
};

// The running program's version (the build's major.minor.revision), unless
// a test has set another.
VersionNumber runningVersion();
void setRunningVersion(const std::optional<VersionNumber> &version);

} // namespace tv::update
