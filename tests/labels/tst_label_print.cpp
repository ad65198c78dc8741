// Printing a label through the print path to a PDF file, measured with the
// poppler tools: the card's size and place on the page, its cut marks, the
// texts kept as text, the buttons hidden while it prints, and the failures.
#include "CardPicture.h"
#include "CommonDialogs.h"
#include "LabelPrinting.h"
#include "LabelProfile.h"
#include "LabelWindow.h"
#include "MessageBox.h"
#include "PaperTwips.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>
#include <sys/resource.h>

using tv::labels::LabelProfile;
using tv::labels::LabelWindow;
using tv::shell::PrinterDialogCall;
using tv::shell::PrinterDialogKind;

namespace {

constexpr int kRenderDpi = 600;
const QSizeF kRenderedMm(140, 120);

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

double mm(double twips)
{
    return twips / tv::labels::kTwipsPerMm;
}

// The rendered page and the box of the label's dark blue background, in mm.
struct Page
{
    QImage image;
    double mmPerPixel = 0;
    QRectF cardMm;
    bool inkAt(double xMm, double yMm) const
    {
        const QColor c = image.pixelColor(int(xMm / mmPerPixel), int(yMm / mmPerPixel));
        return c.lightness() < 128;
    }
};

} // namespace

class LabelPrintTest : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QListWidget m_sideA;
    QListWidget m_sideB;
    std::unique_ptr<LabelWindow> m_label;
    QList<PrinterDialogCall> m_printerCalls;
    QList<tv::shell::MsgBoxCall> m_boxes;
    QString m_pdf;

    void open(const LabelProfile &profile)
    {
        const QList<QListWidget *> lists
            = profile.isCassette() ? QList<QListWidget *> { &m_sideA, &m_sideB } : QList<QListWidget *> { &m_sideA };
        m_label = std::make_unique<LabelWindow>(profile, lists);
        m_label->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_label.get()));
    }
    // The print dialog answered as a user choosing "print to file".
    void answerPrintToFile(const QString &path, std::function<void(QPrinter &)> more = {})
    {
        tv::shell::setPrinterDialogAnswerer([this, path, more](const PrinterDialogCall &call) {
            m_printerCalls.append(call);
            if (call.kind == PrinterDialogKind::Print) {
                call.printer->setOutputFormat(QPrinter::PdfFormat);
                call.printer->setOutputFileName(path);
            }
            if (more)
                more(*call.printer);
            return true;
        });
    }
    void click(const char *name) { m_label->findChild<QAbstractButton *>(QLatin1String(name))->click(); }
    QList<QWidget *> printControls()
    {
        QList<QWidget *> controls;
        for (const auto &design : m_label->profile().hiddenControls)
            controls.append(m_label->findChild<QWidget *>(design.name));
        return controls;
    }

    Page render(const QString &pdf)
    {
        Page page;
        const QString info = run(QStringLiteral("pdfinfo"), { pdf });
        const auto size = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(info);
        if (!size.hasMatch())
            return page;
        // The top left of the page, where the card and its cut marks are.
        const QString stem = m_dir.filePath(QStringLiteral("page"));
        const int widthPx = int(kRenderedMm.width() / 25.4 * kRenderDpi);
        const int heightPx = int(kRenderedMm.height() / 25.4 * kRenderDpi);
        run(QStringLiteral("pdftoppm"),
            { QStringLiteral("-r"), QString::number(kRenderDpi), QStringLiteral("-x"), QStringLiteral("0"), QStringLiteral("-y"),
                QStringLiteral("0"), QStringLiteral("-W"), QString::number(widthPx), QStringLiteral("-H"), QString::number(heightPx),
                QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, stem });
        page.image = QImage(stem + QStringLiteral(".png"));
        if (page.image.isNull() || page.image.width() != widthPx)
            return {};
        page.mmPerPixel = 25.4 / kRenderDpi;
        page.image = page.image.convertToFormat(QImage::Format_RGB32);
        // The card is where the dark blue background is.
        int left = page.image.width(), top = page.image.height(), right = -1, bottom = -1;
        for (int y = 0; y < page.image.height(); ++y) {
            const QRgb *row = reinterpret_cast<const QRgb *>(page.image.constScanLine(y));
            for (int x = 0; x < page.image.width(); ++x) {
                if (qRed(row[x]) < 60 && qGreen(row[x]) < 60 && qBlue(row[x]) > 150) {
                    left = qMin(left, x), right = qMax(right, x);
                    top = qMin(top, y), bottom = qMax(bottom, y);
                }
            }
        }
        page.cardMm = QRectF(
            left * page.mmPerPixel, top * page.mmPerPixel, (right - left + 1) * page.mmPerPixel, (bottom - top + 1) * page.mmPerPixel);
        return page;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const char *tool : { "pdfinfo", "pdftoppm", "pdftotext" })
            QVERIFY2(
                !QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(), "poppler-utils is missing: run scripts/deps.sh --test");
        tv::shell::setMsgBoxAnswerer([this](const tv::shell::MsgBoxCall &call) {
            m_boxes.append(call);
            // The buttons are back by the time the user reads why printing failed.
            for (QWidget *control : printControls())
                if (control->isHidden())
                    m_boxes.last().text += QStringLiteral(" [hidden: ") + control->objectName() + QLatin1Char(']');
            return int(tv::shell::Msg::Ok);
        });
    }
    void init()
    {
        m_sideA.clear();
        m_sideB.clear();
        m_printerCalls.clear();
        m_boxes.clear();
        static int serial = 0;
        m_pdf = m_dir.filePath(QStringLiteral("label-%1.pdf").arg(++serial));
        LabelWindow::forgetPrinterChoice(); // each test is a new run of the program
    }
    void cleanup()
    {
        m_label.reset();
        tv::shell::setPrinterDialogAnswerer(nullptr);
    }

    void print_cardHasPhysicalSizeAtPrintableTopLeft_data()
    {
        QTest::addColumn<bool>("cassette");
        QTest::addColumn<double>("marginMm"); // margins the user set up; -1: the printer's own
        QTest::addColumn<QString>("paper"); // pdfinfo's name of the page size
        QTest::newRow("cassette insert, A4, default margins") << true << -1.0 << "A4";
        QTest::newRow("cassette insert, Letter, 20 mm margins") << true << 20.0 << "letter";
        QTest::newRow("MiniDisc label, A4, default margins") << false << -1.0 << "A4";
        QTest::newRow("MiniDisc label, A4, no margins") << false << 0.0 << "A4";
    }
    void print_cardHasPhysicalSizeAtPrintableTopLeft()
    {
        QFETCH(bool, cassette);
        QFETCH(double, marginMm);
        QFETCH(QString, paper);
        const LabelProfile &profile = cassette ? LabelProfile::tapeLabel() : LabelProfile::miniDiscLabel();
        open(profile);
        answerPrintToFile(m_pdf);
        if (marginMm >= 0 || paper != QLatin1String("A4")) {
            // Printer setup first: its choices hold for the next print.
            tv::shell::setPrinterDialogAnswerer([&](const PrinterDialogCall &call) {
                m_printerCalls.append(call);
                call.printer->setPageSize(paper == QLatin1String("A4") ? QPageSize(QPageSize::A4) : QPageSize(QPageSize::Letter));
                if (marginMm >= 0)
                    call.printer->setPageMargins(QMarginsF(marginMm, marginMm, marginMm, marginMm), QPageLayout::Millimeter);
                return true;
            });
            click("cmdPrintSetup");
            QCOMPARE(m_printerCalls.last().kind, PrinterDialogKind::PageSetup);
            QCOMPARE(m_printerCalls.last().title, QStringLiteral("Print Cassette Case Insert"));
            answerPrintToFile(m_pdf);
        }
        click("cmdPrint");
        QVERIFY2(m_boxes.isEmpty(), m_boxes.isEmpty() ? "" : qPrintable(m_boxes.first().text));
        QCOMPARE(m_printerCalls.last().kind, PrinterDialogKind::Print);

        const QString info = run(QStringLiteral("pdfinfo"), { m_pdf });
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("(%1)").arg(paper)), qPrintable(info));
        const Page page = render(m_pdf);
        QVERIFY(!page.image.isNull());
        qInfo("card %.2f x %.2f mm at %.2f, %.2f mm from the page's top left", page.cardMm.width(), page.cardMm.height(),
            page.cardMm.left(), page.cardMm.top());
        QVERIFY2(qAbs(page.cardMm.width() - mm(profile.clientTwips.width())) <= 0.3, qPrintable(QString::number(page.cardMm.width())));
        QVERIFY2(qAbs(page.cardMm.height() - mm(profile.clientTwips.height())) <= 0.3, qPrintable(QString::number(page.cardMm.height())));
        // At the top left of the printable area; margins too narrow for the cut marks are widened.
        const double expectedMargin = qMax(marginMm < 0 ? 10 * 25.4 / 72 : marginMm, tv::labels::cutMarkMarginMm());
        QVERIFY2(qAbs(page.cardMm.left() - expectedMargin) <= 0.3, qPrintable(QString::number(page.cardMm.left())));
        QVERIFY2(qAbs(page.cardMm.top() - expectedMargin) <= 0.3, qPrintable(QString::number(page.cardMm.top())));

        // Cut marks continue each edge outward at the corners, 1 to 5 mm off the card; the gap stays clear.
        const QRectF c = page.cardMm;
        for (const QPointF &corner : { c.topLeft(), c.topRight(), c.bottomLeft(), c.bottomRight() }) {
            const double outX = corner.x() < c.center().x() ? -1 : 1;
            const double outY = corner.y() < c.center().y() ? -1 : 1;
            QVERIFY(page.inkAt(corner.x() + outX * 3, corner.y()));
            QVERIFY(page.inkAt(corner.x(), corner.y() + outY * 3));
            QVERIFY(!page.inkAt(corner.x() + outX * 0.5, corner.y() + outY * 0.5));
            QVERIFY(!page.inkAt(corner.x() + outX * 3, corner.y() + outY * 3));
        }
    }

    void print_textsStayTextAndButtonsStayOff_data()
    {
        QTest::addColumn<bool>("cassette");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("cassette insert") << true << QStringList { "Side A", "Side B", "Enter Cassette Tape Title Here", "The Tape Vantrel" }
                                         << QStringList { "Print Insert", "Printer Setup", "Change Font", "Change Back", "Exit", "W/Time" };
        QTest::newRow("MiniDisc label") << false << QStringList { "The Cassette Tape Vantrel" }
                                        << QStringList { "Print", "Setup", "Font", "Back", "Exit", "Time" };
    }
    void print_textsStayTextAndButtonsStayOff()
    {
        QFETCH(bool, cassette);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, captions);
        for (int i = 0; i < 20; ++i) {
            m_sideA.addItem(QStringLiteral("/home/ann/Music/Bohemian Rhapsody.mp3 (05:55)"));
            m_sideB.addItem(QStringLiteral("/home/ann/Music/Bohemian Rhapsody.mp3 (05:55)"));
        }
        const LabelProfile &profile = cassette ? LabelProfile::tapeLabel() : LabelProfile::miniDiscLabel();
        open(profile);
        m_label->findChild<QCheckBox *>(QStringLiteral("chkSongTime"))->click();
        answerPrintToFile(m_pdf);
        click("cmdPrint");
        QVERIFY(m_boxes.isEmpty());

        const QString text = run(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), m_pdf, QStringLiteral("-") });
        QCOMPARE(text.count(QStringLiteral("Bohemian Rhapsody (05:55)")), profile.songLineCount());
        for (const QString &t : texts)
            QVERIFY2(text.contains(t), qPrintable(t));
        for (const QString &caption : captions)
            QVERIFY2(!text.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(caption)))),
                qPrintable(caption));

        // Every song line holds the whole name and time inside its own box on paper.
        const QString boxes = run(QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), m_pdf, QStringLiteral("-") });
        const QRegularExpression word(
            QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"[\\d.]+\" xMax=\"([\\d.]+)\" yMax=\"[\\d.]+\">\\(05:55\\)</word>"));
        const double originPt = tv::labels::cutMarkMarginMm() * 72 / 25.4;
        int words = 0;
        for (auto m = word.globalMatch(boxes); m.hasNext(); ++words) {
            const auto match = m.next();
            const double xMin = match.captured(1).toDouble() - originPt;
            const double xMax = match.captured(2).toDouble() - originPt;
            const QRect *column = nullptr;
            for (const QRect &line : profile.songLines)
                if (xMin * 20 >= line.left() && xMin * 20 < line.right())
                    column = &line;
            QVERIFY(column);
            QVERIFY2(xMax * 20 <= column->right() - tv::labels::kBoxMarginTwips + 20, qPrintable(QString::number(xMax * 20)));
        }
        QCOMPARE(words, profile.songLineCount());
    }

    void print_titlesFromTagsAndTheRecordingMode()
    {
        // Songs made with ffmpeg: tagged with artist and title, with a title
        // only, and without tags (its file name stays on the label).
        const auto make = [this](const QString &name, const QStringList &tags) {
            QStringList args { "-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=440:duration=1" };
            for (const QString &tag : tags)
                args << "-metadata" << tag;
            QProcess ffmpeg;
            ffmpeg.start(QStringLiteral("ffmpeg"), args << m_dir.filePath(name));
            return ffmpeg.waitForFinished(30000) && ffmpeg.exitCode() == 0;
        };
        QVERIFY(make("t1.mp3", { "artist=Queen", "title=Bohemian Rhapsody" }));
        QVERIFY(make("t2.ogg", { "title=Only A Title" }));
        QVERIFY(make("Plain Song.wav", {}));
        for (const char *name : { "t1.mp3", "t2.ogg", "Plain Song.wav" })
            m_sideA.addItem(m_dir.filePath(QLatin1String(name)) + QStringLiteral(" (00:01)"));
        open(LabelProfile::miniDiscLabel());
        const auto line = [this](int i) { return m_label->findChild<QLineEdit *>(QStringLiteral("txtTitle_%1").arg(i))->text(); };
        QCOMPARE(line(0), QStringLiteral("t1")); // off at first

        m_label->setRecordingMode(QStringLiteral("LP2"));
        m_label->setTitlesFromTags(true);
        QTRY_VERIFY(!m_label->readingTags());
        QCOMPARE((QStringList { line(0), line(1), line(2) }),
            (QStringList { QStringLiteral("Queen \u2013 Bohemian Rhapsody"), QStringLiteral("Only A Title"), QStringLiteral("Plain Song") }));
        m_label->findChild<QCheckBox *>(QStringLiteral("chkSongTime"))->click();
        QCOMPARE(line(0), QStringLiteral("Queen \u2013 Bohemian Rhapsody (00:01)"));

        answerPrintToFile(m_pdf);
        click("cmdPrint");
        QVERIFY(m_boxes.isEmpty());
        const QString text = run(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), m_pdf, QStringLiteral("-") });
        for (const QString &expected : { QStringLiteral("Queen \u2013 Bohemian Rhapsody (00:01)"), QStringLiteral("Only A Title (00:01)"),
                 QStringLiteral("Plain Song (00:01)"), QStringLiteral("The Cassette Tape Vantrel \u2013 LP2") })
            QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" in:\n") + text));

        // Off again: the file names, with nothing read anew.
        m_label->setTitlesFromTags(false);
        QVERIFY(!m_label->readingTags());
        QCOMPARE(line(0), QStringLiteral("t1 (00:01)"));
    }

    void print_hidesControlsWhilePrinting()
    {
        open(LabelProfile::tapeLabel());
        answerPrintToFile(m_pdf);
        // Each hide and show as it happens, with whether the PDF was complete then.
        QStringList events;
        struct Recorder : QObject
        {
            QStringList *events;
            QString pdf;
            bool eventFilter(QObject *watched, QEvent *e) override
            {
                if (e->type() == QEvent::Hide || e->type() == QEvent::Show)
                    events->append(QStringLiteral("%1 %2 %3")
                                       .arg(e->type() == QEvent::Hide ? "hide" : "show", watched->objectName(),
                                           QFileInfo(pdf).size() > 0 ? "printed" : "unprinted"));
                return false;
            }
        } recorder;
        recorder.events = &events;
        recorder.pdf = m_pdf;
        for (QWidget *control : printControls())
            control->installEventFilter(&recorder);
        click("cmdPrint");
        QCOMPARE(events,
            (QStringList {
                "hide chkSongTime unprinted",
                "hide cmdPrint unprinted",
                "hide cmdPrintSetup unprinted",
                "hide cmdFont unprinted",
                "hide cmdBackground unprinted",
                "hide cmdExit unprinted",
                "show chkSongTime printed",
                "show cmdPrint printed",
                "show cmdPrintSetup printed",
                "show cmdFont printed",
                "show cmdBackground printed",
                "show cmdExit printed",
            }));
        for (QWidget *control : printControls())
            QVERIFY(control->isVisible());
    }

    void print_failure_isReportedAndControlsReturn_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder that does not exist") << "/no-such-folder-for-labels/label.pdf"
                                                    << "cannot be written: ";
        QTest::newRow("full disk") << "/dev/full"
                                   << "could not be written whole; the disk may be full.";
        QTest::newRow("no printer and no file chosen") << ""
                                                       << "No printer is set up.";
    }
    void print_failure_isReportedAndControlsReturn()
    {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        open(LabelProfile::miniDiscLabel());
        answerPrintToFile(file);
        click("cmdPrint");
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes[0].text.startsWith(QStringLiteral("The label could not be printed.\r\n")), qPrintable(m_boxes[0].text));
        QVERIFY2(m_boxes[0].text.contains(reason), qPrintable(m_boxes[0].text));
        QVERIFY2(!m_boxes[0].text.contains(QStringLiteral("[hidden")), qPrintable(m_boxes[0].text));
        QCOMPARE(m_boxes[0].style, int(tv::shell::Msg::Exclamation));
        QCOMPARE(m_boxes[0].title, QStringLiteral("The MiniDisc Vantrel"));
        for (QWidget *control : printControls())
            QVERIFY(control->isVisible());
    }

    // A card cut by the paper's edge is refused, with the size it needs;
    // the file is not touched.
    void print_cardThatDoesNotFitThePaper_isRefused_data()
    {
        QTest::addColumn<bool>("cassette");
        QTest::addColumn<QSizeF>("paperMm");
        QTest::addColumn<bool>("fits");
        QTest::newRow("cassette insert on A6") << true << QSizeF(105, 148) << false;
        QTest::newRow("cassette insert on A5") << true << QSizeF(148, 210) << true;
        QTest::newRow("MiniDisc label on A6") << false << QSizeF(105, 148) << true;
        QTest::newRow("MiniDisc label on a 50 mm square") << false << QSizeF(50, 50) << false;
    }
    void print_cardThatDoesNotFitThePaper_isRefused()
    {
        QFETCH(bool, cassette);
        QFETCH(QSizeF, paperMm);
        QFETCH(bool, fits);
        open(cassette ? LabelProfile::tapeLabel() : LabelProfile::miniDiscLabel());
        answerPrintToFile(m_pdf, [paperMm](QPrinter &printer) {
            printer.setPageSize(QPageSize(paperMm, QPageSize::Millimeter, QStringLiteral("small"), QPageSize::ExactMatch));
        });
        click("cmdPrint");
        if (fits) {
            QVERIFY2(m_boxes.isEmpty(), m_boxes.isEmpty() ? "" : qPrintable(m_boxes.first().text));
            QVERIFY(QFileInfo::exists(m_pdf));
            return;
        }
        QCOMPARE(m_boxes.size(), 1);
        const QString text = m_boxes.first().text;
        QVERIFY2(text.startsWith(QStringLiteral("The label could not be printed.\r\nThe label does not fit on the chosen paper (")), qPrintable(text));
        // The size it needs: the card and its cut marks, in whole millimetres.
        const QSizeF card = (cassette ? LabelProfile::tapeLabel() : LabelProfile::miniDiscLabel()).clientTwips;
        const QString needs = QStringLiteral("needs %1 × %2 mm").arg(mm(card.width()) + 5, 0, 'f', 0).arg(mm(card.height()) + 5, 0, 'f', 0);
        QVERIFY2(text.contains(needs), qPrintable(text + QStringLiteral(" / ") + needs));
        QVERIFY2(text.contains(QStringLiteral("Choose a larger paper")), qPrintable(text));
        QVERIFY(!QFileInfo::exists(m_pdf));
    }

    // A print that fails leaves a PDF that was there byte for byte, and
    // nothing beside it.
    void print_failedPdf_leavesTheExistingFileByteIdentical_data()
    {
        QTest::addColumn<QString>("why");
        QTest::newRow("disk full while writing") << "full";
        QTest::newRow("card does not fit") << "small";
    }
    void print_failedPdf_leavesTheExistingFileByteIdentical()
    {
        QFETCH(QString, why);
        QTemporaryDir folder;
        const QString existing = folder.filePath(QStringLiteral("label.pdf"));
        const QByteArray before = "%PDF-1.4 the user's own label, printed last week\n%%EOF\n";
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(before);
        file.close();
        open(LabelProfile::tapeLabel());
        answerPrintToFile(existing, [why](QPrinter &printer) {
            if (why == QLatin1String("small"))
                printer.setPageSize(QPageSize(QPageSize::A6));
        });
        {
            // A disk that fills up: no file of this process may grow past 2 KiB.
            struct rlimit saved;
            QVERIFY(::getrlimit(RLIMIT_FSIZE, &saved) == 0);
            const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            if (why == QLatin1String("full")) {
                struct rlimit small = saved;
                small.rlim_cur = 2048;
                QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
            }
            click("cmdPrint");
            ::setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, oldHandler);
        }
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes.first().text.contains(why == QLatin1String("full") ? QStringLiteral("could not be written whole")
                                                                           : QStringLiteral("does not fit")),
            qPrintable(m_boxes.first().text));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList { QStringLiteral("label.pdf") });

        // The same print with room on the disk replaces it whole, keeping its permissions.
        QVERIFY(QFile::setPermissions(existing, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
        m_boxes.clear();
        answerPrintToFile(existing, [](QPrinter &printer) { printer.setPageSize(QPageSize(QPageSize::A4)); });
        click("cmdPrint");
        QVERIFY2(m_boxes.isEmpty(), m_boxes.isEmpty() ? "" : qPrintable(m_boxes.first().text));
        file.close();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("%PDF"));
        QCOMPARE(QFileInfo(existing).permissions() & QFileDevice::Permissions(0x7077), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList { QStringLiteral("label.pdf") });
    }

    // The printer, paper and file chosen for one label are where the next
    // label's dialogs open, for the program's run.
    void print_secondLabel_usesThePrinterChosenForTheFirst()
    {
        open(LabelProfile::tapeLabel());
        answerPrintToFile(m_pdf, [](QPrinter &printer) {
            printer.setPageSize(QPageSize(QPageSize::Letter));
            printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        });
        click("cmdPrint");
        QVERIFY2(m_boxes.isEmpty(), m_boxes.isEmpty() ? "" : qPrintable(m_boxes.first().text));
        m_label.reset();

        open(LabelProfile::miniDiscLabel());
        QString seenFile;
        QPageSize seenPaper;
        double seenMargin = -1;
        tv::shell::setPrinterDialogAnswerer([&](const PrinterDialogCall &call) {
            seenFile = call.printer->outputFileName();
            seenPaper = call.printer->pageLayout().pageSize();
            seenMargin = call.printer->pageLayout().margins(QPageLayout::Millimeter).right();
            return false; // looked, cancelled
        });
        click("cmdPrint");
        QCOMPARE(seenFile, m_pdf);
        QCOMPARE(seenPaper.id(), QPageSize::Letter);
        QCOMPARE(qRound(seenMargin), 15);
    }

    void print_printerNotInstalled_isReported()
    {
        open(LabelProfile::tapeLabel());
        tv::shell::setPrinterDialogAnswerer([](const PrinterDialogCall &call) {
            call.printer->setOutputFormat(QPrinter::NativeFormat);
            call.printer->setPrinterName(QStringLiteral("tapevantrel-test-printer-that-is-not-installed"));
            return true;
        });
        click("cmdPrint");
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes[0].title, QStringLiteral("The Tape Vantrel"));
        QVERIFY2(
            m_boxes[0].text.contains(QStringLiteral("not available")) || m_boxes[0].text.contains(QStringLiteral("No printer is set up")),
            qPrintable(m_boxes[0].text));
    }

    void print_dialogCancelled_printsNothing()
    {
        open(LabelProfile::tapeLabel());
        tv::shell::setPrinterDialogAnswerer([this](const PrinterDialogCall &call) {
            m_printerCalls.append(call);
            call.printer->setOutputFormat(QPrinter::PdfFormat);
            call.printer->setOutputFileName(m_pdf);
            return false;
        });
        QStringList hidden;
        click("cmdPrint");
        QCOMPARE(m_printerCalls.size(), 1);
        QVERIFY(!QFileInfo::exists(m_pdf));
        QVERIFY(m_boxes.isEmpty());
        for (QWidget *control : printControls())
            QVERIFY(control->isVisible());
    }
};

QTEST_MAIN(LabelPrintTest)
#include "tst_label_print.moc"
