// File names kept byte for byte: what is valid UTF-8 reads as text, every
// other byte survives the trip through QString and through a file URL.
#include "FileName.h"

#include <QTest>
#include <QUrl>

using tv::media::fileNameBytes;
using tv::media::fileNameFromBytes;

class FileNameTest : public QObject
{
    Q_OBJECT
private slots:
    void bytes_roundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text"); // null: not compared
        QTest::newRow("ascii") << QByteArray("/music/a b.mp3") << QStringLiteral("/music/a b.mp3");
        QTest::newRow("utf-8") << QByteArray("/m/can\xC3\xA7\xC3\xA3o.wav") << QStringLiteral("/m/can\u00E7\u00E3o.wav");
        QTest::newRow("four-byte utf-8") << QByteArray("/m/\xF0\x9F\x8E\xB5.mp3") << QString::fromUtf8("/m/\xF0\x9F\x8E\xB5.mp3");
        QTest::newRow("latin-1 bytes") << QByteArray("/m/can\xE7\xE3o.wav") << QString();
        QTest::newRow("lone continuation byte") << QByteArray("/m/\x80.wav") << QString();
        QTest::newRow("overlong slash") << QByteArray("/m/\xC0\xAF.wav") << QString();
        QTest::newRow("encoded surrogate") << QByteArray("/m/\xED\xA0\x80.wav") << QString();
        QTest::newRow("beyond U+10FFFF") << QByteArray("/m/\xF4\x90\x80\x80.wav") << QString();
        QTest::newRow("cut sequence at the end") << QByteArray("/m/a\xE2\x82") << QString();
        QTest::newRow("every high byte") << [] {
            QByteArray all("/");
            for (int b = 0x80; b <= 0xFF; ++b)
                all.append(char(b));
            return all;
        }() << QString();
    }
    void bytes_roundTrip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const QString name = fileNameFromBytes(bytes);
        if (!text.isNull())
            QCOMPARE(name, text);
        QCOMPARE(fileNameBytes(name), bytes);
        QCOMPARE(tv::media::localFileOfUrl(tv::media::urlOfLocalFile(name)), name);
    }

    void latin1Name_keepsItsTextReadable()
    {
        // The valid parts stay text: only the two bad bytes are escaped.
        const QString name = fileNameFromBytes("/m/can\xE7\xE3o.wav");
        QVERIFY(name.startsWith(QLatin1String("/m/can")));
        QVERIFY(name.endsWith(QLatin1String("o.wav")));
        QCOMPARE(name.size(), qsizetype(QByteArray("/m/can\xE7\xE3o.wav").size()));
    }

    void droppedUrl_ofAFileManager_keepsTheBytes()
    {
        const QUrl url(QStringLiteral("file:///m/can%E7%E3o.wav"));
        QCOMPARE(fileNameBytes(tv::media::localFileOfUrl(url)), QByteArray("/m/can\xE7\xE3o.wav"));
        QVERIFY(tv::media::localFileOfUrl(QUrl(QStringLiteral("https://example.org/a.mp3"))).isEmpty());
    }
};

QTEST_GUILESS_MAIN(FileNameTest)
#include "tst_file_name.moc"
