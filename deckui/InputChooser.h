#pragma once

#include <QComboBox>

namespace tv::deckui {

// The sound server's inputs to hear a deck with: real inputs first, then
// the monitors of outputs ("what it plays"). They are asked for off the
// window's thread, so a server that does not answer keeps the list
// waiting, not the window frozen. The input chosen last is chosen again.
class InputChooser : public QComboBox
{
    Q_OBJECT
public:
    explicit InputChooser(const QString &settingsSection, QWidget *parent = nullptr);

    // The server's name of the chosen input; empty while there is none.
    QByteArray input() const;
    void remember() const;

signals:
    // The list is there; error says why it is empty when it is.
    void listed(const QString &error);

private:
    void fill(const QList<QPair<QByteArray, QString>> &inputs, const QString &error);
    QString m_section;
};

} // namespace tv::deckui
