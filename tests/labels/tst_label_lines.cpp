// Song lines from playlist entries, which playlist row each line reads, and
// the capital letters of the MiniDisc title strip: no windows involved.
#include "SongLines.h"

#include <QTest>

using tv::labels::lineSource;
using tv::labels::songLineText;
using tv::labels::upperCaseTitleKey;

class LabelLinesTest : public QObject
{
    Q_OBJECT
private slots:
    void songLineText_splitsEntry_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("withTime");
        QTest::newRow("ordinary song") << "/home/ann/Music/Song.mp3 (03:45)"
                                       << "Song"
                                       << "Song (03:45)";
        QTest::newRow("file in the root") << "/Track.wav (00:59)"
                                          << "Track"
                                          << "Track (00:59)";
        QTest::newRow("hour-long song") << "/home/ann/Music/Live Set.aiff (1:02:05)"
                                        << "Live Set"
                                        << "Live Set (1:02:05)";
        QTest::newRow("dots in the name") << "/home/ann/Music/My.Song.au (02:10)"
                                          << "My.Song"
                                          << "My.Song (02:10)";
        QTest::newRow("name without a dot") << "/home/ann/Music/README (00:10)"
                                            << "README"
                                            << "README (00:10)";
        QTest::newRow("dot only in a folder") << "/home/ann/v1.2/Intro (00:05)"
                                              << "Intro"
                                              << "Intro (00:05)";
        QTest::newRow("parenthesis in the path") << "/home/ann/Song (live).mp3 (04:10)"
                                                 << "Song (live)"
                                                 << "Song (live) (04:10)";
        QTest::newRow("CD track") << "/home/ann/.cache/TapeVantrel/AudioCD/disc/Track05.cda (05:55)"
                                  << "Track05"
                                  << "Track05 (05:55)";
        QTest::newRow("empty entry") << ""
                                     << ""
                                     << "";
        QTest::newRow("not an entry: the text is the path") << "/home/ann/Song.mp3"
                                                            << "Song"
                                                            << "Song";
    }
    void songLineText_splitsEntry()
    {
        QFETCH(QString, entry);
        QFETCH(QString, plain);
        QFETCH(QString, withTime);
        QCOMPARE(songLineText(entry, false), plain);
        QCOMPARE(songLineText(entry, true), withTime);
    }

    void lineSource_mapsLinesToRows_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("perList");
        QTest::addColumn<int>("list");
        QTest::addColumn<int>("row");
        QTest::newRow("tape line 0") << 0 << 14 << 0 << 0;
        QTest::newRow("tape line 13, last of side A") << 13 << 14 << 0 << 13;
        QTest::newRow("tape line 14, first of side B") << 14 << 14 << 1 << 0;
        QTest::newRow("tape line 27") << 27 << 14 << 1 << 13;
        QTest::newRow("MiniDisc line 14") << 14 << 15 << 0 << 14;
    }
    void lineSource_mapsLinesToRows()
    {
        QFETCH(int, line);
        QFETCH(int, perList);
        QFETCH(int, list);
        QFETCH(int, row);
        QCOMPARE(lineSource(line, perList).list, list);
        QCOMPARE(lineSource(line, perList).row, row);
    }

    void upperCaseTitleKey_changesOnlyLowerCaseLetters_data()
    {
        QTest::addColumn<QChar>("typed");
        QTest::addColumn<QChar>("entered");
        QTest::newRow("a") << QChar(u'a') << QChar(u'A');
        QTest::newRow("z") << QChar(u'z') << QChar(u'Z');
        QTest::newRow("capital stays") << QChar(u'Q') << QChar(u'Q');
        QTest::newRow("digit") << QChar(u'7') << QChar(u'7');
        QTest::newRow("punctuation") << QChar(u'!') << QChar(u'!');
        QTest::newRow("before a: backquote") << QChar(u'`') << QChar(u'`');
        QTest::newRow("after z: brace") << QChar(u'{') << QChar(u'{');
        QTest::newRow("carriage return") << QChar(u'\r') << QChar(u'\r');
        QTest::newRow("accented letter passes") << QChar(u'é') << QChar(u'é');
    }
    void upperCaseTitleKey_changesOnlyLowerCaseLetters()
    {
        QFETCH(QChar, typed);
        QFETCH(QChar, entered);
        QCOMPARE(QChar(upperCaseTitleKey(typed.unicode())), entered);
    }
};

QTEST_GUILESS_MAIN(LabelLinesTest)
#include "tst_label_lines.moc"
