// The decode thread on its own, without a sound server: the stream of chunks
// it makes from a plan must be the plan to the frame (songs, the silences
// before them, the marks where items start and end), and a failure must end
// the plan there.
#include "output/Decoder.h"
#include "source/ExcerptSource.h"

#include <QTest>
#include <QThread>

#include <vector>

using tv::media::AudioSource;
using tv::media::Chunk;
using tv::media::Decoder;
using tv::media::SpscQueue;

namespace {

// A source of a known number of frames, every sample of them `value`; it
// fails after failAfter frames when that is set.
class CountedSource final : public AudioSource
{
public:
    CountedSource(qint64 frames, qint16 value, qint64 failAfter = -1) : m_left(frames), m_value(value), m_failAfter(failAfter) {}
    qint64 readFrames(qint16 *out, qint64 maxFrames) override
    {
        if (m_failAfter >= 0 && m_done >= m_failAfter)
            return -1;
        qint64 n = std::min(maxFrames, m_left);
        if (m_failAfter >= 0)
            n = std::min(n, m_failAfter - m_done);
        std::fill(out, out + n * 2, m_value);
        m_left -= n;
        m_done += n;
        return n;
    }
    bool seekMs(qint64) override { return false; }
    QString errorText() const override { return QStringLiteral("broken on purpose"); }

private:
    qint64 m_left;
    qint16 m_value;
    qint64 m_failAfter;
    qint64 m_done = 0;
};

// A source of `frames` frames that can seek anywhere in them.
class SeekableSource final : public AudioSource
{
public:
    explicit SeekableSource(qint64 frames) : m_frames(frames) {}
    qint64 readFrames(qint16 *out, qint64 maxFrames) override
    {
        const qint64 n = std::min(maxFrames, m_frames - m_at);
        std::fill(out, out + n * 2, qint16(7));
        m_at += n;
        return n;
    }
    bool seekMs(qint64 ms) override
    {
        m_at = std::min(m_frames, tv::media::framesForMs(ms));
        return true;
    }
    QString errorText() const override { return {}; }

private:
    qint64 m_frames;
    qint64 m_at = 0;
};

struct Heard
{
    std::vector<qint16> left; // one sample per frame
    QList<QPair<quint64, QString>> marks; // (serial, "start"/"end"/"fail")
};

Decoder::Item item(quint64 serial, qint64 frames, qint16 value, qint64 silenceBefore = 0, qint64 failAfter = -1)
{
    Decoder::Item i;
    i.serial = serial;
    i.silenceBefore = silenceBefore;
    i.open = [=](QString &) { return std::make_unique<CountedSource>(frames, value, failAfter); };
    return i;
}

} // namespace

class DecoderTest : public QObject
{
    Q_OBJECT

    std::vector<Chunk> m_pool{64};
    SpscQueue<Chunk *> m_filled{64};
    SpscQueue<Chunk *> m_spare{64};
    std::atomic<qint64> m_queued{0};

    // Takes chunks as the sound-server thread would, until `frames` frames
    // and all marks up to there have come, or a second passes without any.
    Heard listen(qint64 frames, quint32 generation = 0)
    {
        Heard h;
        QElapsedTimer quiet;
        quiet.start();
        while (qint64(h.left.size()) < frames && quiet.elapsed() < 1000) {
            Chunk *c = nullptr;
            if (!m_filled.pop(c)) {
                QThread::msleep(1);
                continue;
            }
            quiet.restart();
            m_queued -= c->frames;
            if (c->generation >= generation) {
                if (c->itemStart)
                    h.marks.append({c->serial, QStringLiteral("start")});
                for (int i = 0; i < c->frames; ++i)
                    h.left.push_back(c->samples[2 * i]);
                if (c->itemEnd)
                    h.marks.append({c->serial, QStringLiteral("end")});
                if (c->itemFailed)
                    h.marks.append({c->serial, QStringLiteral("fail")});
            }
            m_spare.push(c);
        }
        return h;
    }
    static qint64 run(const Heard &h, qint64 from, qint16 value)
    {
        qint64 n = 0;
        while (from + n < qint64(h.left.size()) && h.left[std::size_t(from + n)] == value)
            ++n;
        return n;
    }

private slots:
    void init()
    {
        Chunk *c = nullptr;
        while (m_filled.pop(c)) {}
        while (m_spare.pop(c)) {}
        for (Chunk &chunk : m_pool)
            m_spare.push(&chunk);
        m_queued = 0;
    }

    void plan_isTheStreamToTheFrame_data()
    {
        QTest::addColumn<qint64>("first");
        QTest::addColumn<qint64>("silence");
        QTest::addColumn<qint64>("second");
        QTest::newRow("silence longer than a chunk") << qint64(10000) << qint64(57330) << qint64(7001);
        QTest::newRow("no silence") << qint64(4096) << qint64(0) << qint64(3);
        QTest::newRow("one frame of silence") << qint64(1) << qint64(1) << qint64(1);
    }
    void plan_isTheStreamToTheFrame()
    {
        QFETCH(qint64, first);
        QFETCH(qint64, silence);
        QFETCH(qint64, second);
        Decoder decoder(m_filled, m_spare, m_queued, nullptr);
        decoder.plan(item(1, first, 100));
        decoder.plan(item(2, second, 200, silence));
        const Heard h = listen(first + silence + second);
        QCOMPARE(qint64(h.left.size()), first + silence + second);
        QCOMPARE(run(h, 0, 100), first);
        QCOMPARE(run(h, first, 0), silence);
        QCOMPARE(run(h, first + silence, 200), second);
        QCOMPARE(h.marks, (QList<QPair<quint64, QString>>{{1, "start"}, {1, "end"}, {2, "start"}, {2, "end"}}));
    }

    void failure_endsThePlanWhereItHappens()
    {
        QList<quint64> noted;
        Decoder decoder(m_filled, m_spare, m_queued, [&noted](quint64 serial, const QString &) { noted.append(serial); });
        decoder.plan(item(1, 5000, 100));
        decoder.plan(item(2, 9000, 200, 441, 3000)); // fails 3000 frames in
        decoder.plan(item(3, 5000, 300, 441));
        const Heard h = listen(5000 + 441 + 9000 + 441 + 5000);
        QCOMPARE(qint64(h.left.size()), qint64(5000 + 441 + 3000));
        QCOMPARE(h.marks.last(), (QPair<quint64, QString>{2, "fail"}));
        QCOMPARE(noted, QList<quint64>{2});
    }

    // Excerpts keep a beat: each is exactly its share of frames whatever
    // its sound does, so the next one starts a share after the one before.
    void excerpts_followEachOtherOnTheBeat_data()
    {
        QTest::addColumn<qint64>("soundFrames"); // -1: the file could not be opened
        QTest::addColumn<qint64>("failAfter");
        QTest::addColumn<qint64>("heard");       // frames of the sound before the silence
        QTest::newRow("longer than its share") << qint64(50000) << qint64(-1) << qint64(7000);
        QTest::newRow("shorter: silence to the beat") << qint64(2500) << qint64(-1) << qint64(2500);
        QTest::newRow("exactly its share") << qint64(7000) << qint64(-1) << qint64(7000);
        QTest::newRow("fails part way: silence for the rest") << qint64(50000) << qint64(3000) << qint64(3000);
        QTest::newRow("cannot be opened: a silent beat") << qint64(-1) << qint64(-1) << qint64(0);
    }
    void excerpts_followEachOtherOnTheBeat()
    {
        QFETCH(qint64, soundFrames);
        QFETCH(qint64, failAfter);
        QFETCH(qint64, heard);
        static constexpr qint64 share = 7000;
        const auto excerpt = [=] {
            std::unique_ptr<AudioSource> sound;
            if (soundFrames >= 0)
                sound = std::make_unique<CountedSource>(soundFrames, 100, failAfter);
            return std::make_unique<tv::media::ExcerptSource>(std::move(sound), share);
        };
        Decoder decoder(m_filled, m_spare, m_queued, nullptr);
        Decoder::Item first;
        first.serial = 1;
        first.open = [&](QString &) { return excerpt(); };
        decoder.plan(std::move(first));
        Decoder::Item second;
        second.serial = 2;
        second.open = [](QString &) {
            return std::make_unique<tv::media::ExcerptSource>(std::make_unique<CountedSource>(50000, 200), share);
        };
        decoder.plan(std::move(second));
        const Heard h = listen(2 * share);
        QCOMPARE(qint64(h.left.size()), 2 * share);
        QCOMPARE(run(h, 0, 100), heard);
        QCOMPARE(run(h, heard, 0), share - heard);
        QCOMPARE(run(h, share, 200), share);
        QCOMPARE(h.marks, (QList<QPair<quint64, QString>>{{1, "start"}, {1, "end"}, {2, "start"}, {2, "end"}}));

        // Read alone, it tells whether its sound failed.
        auto alone = excerpt();
        std::vector<qint16> buffer(2 * 4096);
        qint64 total = 0;
        for (qint64 n; (n = alone->readFrames(buffer.data(), 4096)) > 0;)
            total += n;
        QCOMPARE(total, share);
        QCOMPARE(alone->soundFailed(), soundFrames < 0 || failAfter >= 0);
    }

    void excerpt_seek_keepsTheBeatFromTheNewPlace()
    {
        // A silent beat (no sound to seek) seeks by itself; past its end it
        // has nothing left.
        tv::media::ExcerptSource excerpt(nullptr, tv::media::framesForMs(1000));
        QVERIFY(excerpt.seekMs(400));
        std::vector<qint16> buffer(2 * 100000);
        QCOMPARE(excerpt.readFrames(buffer.data(), 100000), tv::media::framesForMs(600));
        QVERIFY(excerpt.seekMs(5000));
        QCOMPARE(excerpt.readFrames(buffer.data(), 100000), qint64(0));
        // A sound that cannot seek is not moved.
        tv::media::ExcerptSource fixed(std::make_unique<CountedSource>(50000, 100), 7000);
        QVERIFY(!fixed.seekMs(50));
        // A seek in a sound is the listener's: it plays on past its share.
        tv::media::ExcerptSource sought(std::make_unique<SeekableSource>(tv::media::framesForMs(5000)), tv::media::framesForMs(1000));
        QVERIFY(sought.seekMs(2000));
        qint64 total = 0;
        for (qint64 n; (n = sought.readFrames(buffer.data(), 100000)) > 0;)
            total += n;
        QCOMPARE(total, tv::media::framesForMs(3000));
    }

    void excerpt_failure_isToldOnce_whenMissingOrPartWay()
    {
        int told = 0;
        tv::media::ExcerptSource missing(nullptr, 1000, [&] { ++told; });
        QCOMPARE(told, 1);
        tv::media::ExcerptSource broken(std::make_unique<CountedSource>(50000, 100, 300), 1000, [&] { ++told; });
        std::vector<qint16> buffer(2 * 1000);
        QCOMPARE(broken.readFrames(buffer.data(), 1000), qint64(300));
        QCOMPARE(broken.readFrames(buffer.data(), 1000), qint64(700)); // silence for the rest
        QCOMPARE(told, 2);
        QVERIFY(broken.soundFailed());
    }

    void play_replacesThePlan_andStampsTheNewGeneration()
    {
        Decoder decoder(m_filled, m_spare, m_queued, nullptr);
        decoder.plan(item(1, 400000, 100));
        decoder.plan(item(2, 400000, 200, 441));
        QTest::qWait(50);
        decoder.play(7, item(3, 5000, 300));
        const Heard h = listen(5000, 7);
        QCOMPARE(qint64(h.left.size()), qint64(5000));
        QCOMPARE(run(h, 0, 300), qint64(5000));
        QCOMPARE(h.marks, (QList<QPair<quint64, QString>>{{3, "start"}, {3, "end"}}));
    }
};

QTEST_GUILESS_MAIN(DecoderTest)
#include "tst_decoder.moc"
