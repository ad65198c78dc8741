// The recording's decisions as a table of rows: every state with every
// event, what the state becomes and what the window is to do.
#include "RecordingSession.h"

#include <QTest>

using namespace tv::core;
using S = RecordingState;
using E = RecordingEvent;

Q_DECLARE_METATYPE(tv::core::RecordingState)
Q_DECLARE_METATYPE(tv::core::RecordingEvent)

namespace {
// The events that lead from Idle to each state.
QList<E> pathTo(S state)
{
    switch (state) {
    case S::Idle: return {};
    case S::Playing: return {E::Begin};
    case S::Silence: return {E::Begin, E::EntryEnded};
    case S::PausedInSong: return {E::Begin, E::PauseConfirmed};
    case S::PausedInSilence: return {E::Begin, E::EntryEnded, E::PauseConfirmed};
    case S::Finished: return {E::Begin, E::LastEntryEnded};
    }
    return {};
}

QString actionWord(RecordingAction a)
{
    switch (a) {
    case RecordingAction::ShowEntry: return QStringLiteral("entry");
    case RecordingAction::HoldOutput: return QStringLiteral("hold");
    case RecordingAction::ReleaseOutput: return QStringLiteral("release");
    case RecordingAction::ShowPaused: return QStringLiteral("paused");
    case RecordingAction::ShowRecording: return QStringLiteral("recording");
    case RecordingAction::DropPlan: return QStringLiteral("drop");
    case RecordingAction::EnterStopped: return QStringLiteral("stopped");
    case RecordingAction::ShowError: return QStringLiteral("error");
    case RecordingAction::ShowStopped: return QStringLiteral("stop-message");
    case RecordingAction::ShowCompletion: return QStringLiteral("complete");
    }
    return {};
}
} // namespace

class RecordingSessionTest : public QObject
{
    Q_OBJECT
private slots:
    void everyStateAndEvent_data()
    {
        QTest::addColumn<RecordingState>("from");
        QTest::addColumn<RecordingEvent>("event");
        QTest::addColumn<RecordingState>("to");
        QTest::addColumn<QString>("actions");
        const QString fault = QStringLiteral("drop stopped error");
        const QString stop = QStringLiteral("drop stopped stop-message");
        const QString finish = QStringLiteral("drop complete");
        struct Row
        {
            S from;
            E event;
            S to;
            QString actions;
        };
        const QList<Row> rows = {
            // Idle: only Begin does anything; late news of an ended plan is ignored.
            {S::Idle, E::Begin, S::Playing, "entry"},
            {S::Idle, E::EntryStarted, S::Idle, ""},
            {S::Idle, E::EntryEnded, S::Idle, ""},
            {S::Idle, E::LastEntryEnded, S::Idle, ""},
            {S::Idle, E::EntryFailed, S::Idle, ""},
            {S::Idle, E::OutputLost, S::Idle, ""},
            {S::Idle, E::PauseConfirmed, S::Idle, ""}, // the recording ended during the question
            {S::Idle, E::Resume, S::Idle, ""},
            {S::Idle, E::StopConfirmed, S::Idle, ""},
            {S::Idle, E::CompletionClosed, S::Idle, ""},
            // Playing an entry.
            {S::Playing, E::Begin, S::Playing, ""},
            {S::Playing, E::EntryStarted, S::Playing, "entry"},
            {S::Playing, E::EntryEnded, S::Silence, ""},
            {S::Playing, E::LastEntryEnded, S::Finished, finish},
            {S::Playing, E::EntryFailed, S::Idle, fault},
            {S::Playing, E::OutputLost, S::Idle, fault},
            {S::Playing, E::PauseConfirmed, S::PausedInSong, "hold paused"},
            {S::Playing, E::Resume, S::Playing, ""},
            {S::Playing, E::StopConfirmed, S::Idle, stop},
            {S::Playing, E::CompletionClosed, S::Playing, ""},
            // The song delay between two entries.
            {S::Silence, E::Begin, S::Silence, ""},
            {S::Silence, E::EntryStarted, S::Playing, "entry"},
            {S::Silence, E::EntryEnded, S::Silence, ""},
            {S::Silence, E::LastEntryEnded, S::Silence, ""},
            {S::Silence, E::EntryFailed, S::Idle, fault}, // the next song cannot be opened
            {S::Silence, E::OutputLost, S::Idle, fault},
            {S::Silence, E::PauseConfirmed, S::PausedInSilence, "hold paused"}, // answered after the song ended
            {S::Silence, E::Resume, S::Silence, ""},
            {S::Silence, E::StopConfirmed, S::Idle, stop},
            {S::Silence, E::CompletionClosed, S::Silence, ""},
            // Held inside an entry: what was heard before the hold is still told.
            {S::PausedInSong, E::Begin, S::PausedInSong, ""},
            {S::PausedInSong, E::EntryStarted, S::PausedInSong, ""},
            {S::PausedInSong, E::EntryEnded, S::PausedInSilence, ""}, // Pause in a song's last milliseconds
            {S::PausedInSong, E::LastEntryEnded, S::Finished, finish},
            {S::PausedInSong, E::EntryFailed, S::Idle, fault},
            {S::PausedInSong, E::OutputLost, S::Idle, fault},
            {S::PausedInSong, E::PauseConfirmed, S::PausedInSong, ""},
            {S::PausedInSong, E::Resume, S::Playing, "recording release"},
            {S::PausedInSong, E::StopConfirmed, S::Idle, stop},
            {S::PausedInSong, E::CompletionClosed, S::PausedInSong, ""},
            // Held inside the silence: the next entry waits for Resume.
            {S::PausedInSilence, E::Begin, S::PausedInSilence, ""},
            {S::PausedInSilence, E::EntryStarted, S::PausedInSong, "entry"},
            {S::PausedInSilence, E::EntryEnded, S::PausedInSilence, ""},
            {S::PausedInSilence, E::LastEntryEnded, S::PausedInSilence, ""},
            {S::PausedInSilence, E::EntryFailed, S::Idle, fault},
            {S::PausedInSilence, E::OutputLost, S::Idle, fault},
            {S::PausedInSilence, E::PauseConfirmed, S::PausedInSilence, ""},
            {S::PausedInSilence, E::Resume, S::Silence, "recording release"},
            {S::PausedInSilence, E::StopConfirmed, S::Idle, stop},
            {S::PausedInSilence, E::CompletionClosed, S::PausedInSilence, ""},
            // The completion message is up: only its closing ends the recording.
            {S::Finished, E::Begin, S::Finished, ""},
            {S::Finished, E::EntryStarted, S::Finished, ""},
            {S::Finished, E::EntryEnded, S::Finished, ""},
            {S::Finished, E::LastEntryEnded, S::Finished, ""},
            {S::Finished, E::EntryFailed, S::Finished, ""},
            {S::Finished, E::OutputLost, S::Finished, ""},
            {S::Finished, E::PauseConfirmed, S::Finished, ""},
            {S::Finished, E::Resume, S::Finished, ""},
            {S::Finished, E::StopConfirmed, S::Finished, ""},
            {S::Finished, E::CompletionClosed, S::Idle, "stopped"},
        };
        for (const Row &r : rows)
            QTest::addRow("%s + %s", qPrintable(toString(r.from)), qPrintable(toString(r.event))) << r.from << r.event << r.to << r.actions;
    }
    void everyStateAndEvent()
    {
        QFETCH(RecordingState, from);
        QFETCH(RecordingEvent, event);
        QFETCH(RecordingState, to);
        QFETCH(QString, actions);
        RecordingSession session;
        for (E step : pathTo(from))
            session.handle(step);
        QCOMPARE(toString(session.state()), toString(from));
        QStringList words;
        for (RecordingAction a : session.handle(event))
            words << actionWord(a);
        QCOMPARE(words.join(QLatin1Char(' ')), actions);
        QCOMPARE(toString(session.state()), toString(to));
    }

    void questionsAndClosing_followTheState_data()
    {
        QTest::addColumn<RecordingState>("state");
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("pause");
        QTest::addColumn<bool>("stop");
        QTest::newRow("idle") << S::Idle << false << false << false;
        QTest::newRow("playing") << S::Playing << true << true << true;
        QTest::newRow("silence") << S::Silence << true << true << true;
        QTest::newRow("paused in a song") << S::PausedInSong << true << false << true;
        QTest::newRow("paused in the silence") << S::PausedInSilence << true << false << true;
        QTest::newRow("completion message up") << S::Finished << true << false << false;
    }
    void questionsAndClosing_followTheState()
    {
        QFETCH(RecordingState, state);
        QFETCH(bool, active);
        QFETCH(bool, pause);
        QFETCH(bool, stop);
        RecordingSession session;
        for (E step : pathTo(state))
            session.handle(step);
        QCOMPARE(session.isActive(), active);
        QCOMPARE(session.canPause(), pause);
        QCOMPARE(session.canStop(), stop);
    }

    void tableHasOneRowPerStateAndEvent()
    {
        // Two rows for one pair would make the second dead without a word.
        const auto &table = recordingTransitions();
        for (int i = 0; i < table.size(); ++i) {
            for (int j = i + 1; j < table.size(); ++j)
                QVERIFY2(!(table[i].from == table[j].from && table[i].event == table[j].event),
                         qPrintable(toString(table[i].from) + QLatin1Char('+') + toString(table[i].event)));
        }
    }
};

QTEST_APPLESS_MAIN(RecordingSessionTest)
#include "tst_recording_session.moc"
