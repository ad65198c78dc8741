#include "InputChooser.h"

#include "OffThread.h"
#include "Settings.h"
#include "capture/AudioCapture.h"


#include <algorithm>

namespace tv::deckui {

namespace {
const QString kMonitorMark = QStringLiteral(" (what it plays)");
}

InputChooser::InputChooser(const QString &settingsSection, QWidget *parent) : QComboBox(parent), m_section(settingsSection)
{
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(30);
    addItem(QStringLiteral("Looking for inputs..."));
    setEnabled(false);
    using Listing = std::pair<QList<QPair<QByteArray, QString>>, QString>;
    tv::deck::runOffThread(
        this,
        [] {
            Listing listing;
            for (const tv::media::CaptureSource &s : tv::media::captureSources(&listing.second))
                listing.first.append({s.name, s.monitor ? s.description + kMonitorMark : s.description});
            std::stable_partition(listing.first.begin(), listing.first.end(), [](const auto &i) { return !i.second.endsWith(kMonitorMark); });
            return listing;
        },
        [this](Listing listing) { fill(listing.first, listing.second); });
}

void InputChooser::fill(const QList<QPair<QByteArray, QString>> &inputs, const QString &error)
{
    clear();
    if (inputs.isEmpty()) {
        addItem(QStringLiteral("No input"));
        emit listed(error.isEmpty() ? QStringLiteral("The sound server has no input to hear the deck with.") : error);
        return;
    }
    const QByteArray last = tv::shell::getSetting(m_section, QStringLiteral("Input")).toUtf8();
    for (const auto &[name, caption] : inputs) {
        addItem(caption, name);
        if (name == last)
            setCurrentIndex(count() - 1);
    }
    setEnabled(true);
    emit listed(QString());
}

QByteArray InputChooser::input() const
{
    return currentData().toByteArray();
}

void InputChooser::remember() const
{
    tv::shell::saveSetting(m_section, QStringLiteral("Input"), QString::fromUtf8(input()));
}

} // namespace tv::deckui
