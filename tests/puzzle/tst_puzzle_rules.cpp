// The puzzle without its window: the check, the colours and the texts.
#include "PuzzleRules.h"

#include <QTest>

using namespace tv::puzzle;

namespace {
Answer solved()
{
    Answer a{};
    for (int attribute = Cor; attribute <= Animal; ++attribute)
        for (int house = 1; house <= kHouses; ++house)
            a[std::size_t(answerIndex(Attribute(attribute), house))] = solution(Attribute(attribute), house);
    return a;
}
} // namespace

class PuzzleRulesTest : public QObject
{
    Q_OBJECT
private slots:
    void check_acceptsOnlyTheSolution_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("the solution") << 0 << solution(Cor, 1) << true;
        QTest::newRow("house 1 colour unanswered") << answerIndex(Cor, 1) << -1 << false;
        QTest::newRow("house 3 drink dashes") << answerIndex(Bebida, 3) << 0 << false;
        QTest::newRow("last pet wrong") << answerIndex(Animal, 5) << 2 << false;
        QTest::newRow("german with the swede's place") << answerIndex(Nacionalidade, 4) << 2 << false;
    }
    void check_acceptsOnlyTheSolution()
    {
        QFETCH(int, index);
        QFETCH(int, position);
        QFETCH(bool, accepted);
        Answer a = solved();
        a[std::size_t(index)] = position;
        QCOMPARE(VerificaTeste(a), accepted);
    }

    void check_nothingChosen_fails() { QVERIFY(!VerificaTeste(Answer{-1, -1, -1})); }

    void solution_isTheOnlyOneThatMeetsTheClues()
    {
        // The fish belongs to the German in house 4, as the question wants.
        QCOMPARE(solution(Nacionalidade, 4), 4);
        QCOMPARE(solution(Animal, 4), 5);
        QCOMPARE(listEntries(Animal, 4).at(5), QStringLiteral("Peixe"));
        QCOMPARE(listEntries(Nacionalidade, 4).at(4), QStringLiteral("Alemão"));
    }

    void houseColour_followsTheTable_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QList<int>>("rgb"); // empty: button face; {-1}: unchanged
        QTest::newRow("dashes") << 0 << QList<int>{};
        QTest::newRow("red") << 1 << QList<int>{255, 0, 0};
        QTest::newRow("white") << 2 << QList<int>{255, 255, 255};
        QTest::newRow("green") << 3 << QList<int>{0, 255, 0};
        QTest::newRow("yellow") << 4 << QList<int>{255, 255, 0};
        QTest::newRow("blue") << 5 << QList<int>{0, 0, 255};
        QTest::newRow("nothing") << -1 << QList<int>{-1};
    }
    void houseColour_followsTheTable()
    {
        QFETCH(int, position);
        QFETCH(QList<int>, rgb);
        const Rgb c = houseColour(position);
        if (rgb == QList<int>{-1}) {
            QVERIFY(!c.valid);
        } else if (rgb.isEmpty()) {
            QVERIFY(c.valid && c.buttonFace);
        } else {
            QVERIFY(c.valid && !c.buttonFace);
            QCOMPARE((QList<int>{c.red, c.green, c.blue}), rgb);
        }
    }

    void lists_haveDashesThenTheAnswers()
    {
        const QList<QStringList> expected = {
            {"Vermelha", "Branca", "Verde", "Amarela", "Azul"},
            {"Inglês", "Sueco", "Dinamarquês", "Alemão", "Norueguês"},
            {"Chá", "Café", "Leite", "Cerveja", "Água"},
            {"Pall Mall", "Dunhill", "Blends", "Bluemaster", "Prince"},
            {"Cachorros", "Passáros", "Gatos", "Cavalos", "Peixe"},
        };
        QSet<int> dashLengths;
        for (int attribute = Cor; attribute <= Animal; ++attribute) {
            for (int house = 1; house <= kHouses; ++house) {
                const QStringList entries = listEntries(Attribute(attribute), house);
                QCOMPARE(entries.size(), 6);
                QCOMPARE(entries.mid(1), expected.at(attribute));
                const QString dashes = entries.first();
                QVERIFY(dashes.size() >= 21 && dashes.size() <= 38);
                QCOMPARE(dashes, QString(dashes.size(), QLatin1Char('-')));
                dashLengths.insert(int(dashes.size()));
            }
        }
        QVERIFY(dashLengths.size() > 1); // the lengths differ from list to list
    }

    void messages_areJoinedWithCarriageReturns()
    {
        const QString success = successText(QStringLiteral("95"));
        QVERIFY(success.startsWith(QStringLiteral("Parabéns, você agora faz parte de seleto grupo de 120 milhões de pessoas(2% da população")));
        QVERIFY(success.endsWith(QStringLiteral(" capazes de resolver este teste.\rVocê demorou 95 segundos para resolver esse teste.")));
        QCOMPARE(invitationText(QStringLiteral("a@x"), QStringLiteral("b@y")).section(QChar(13), 1),
                 QStringLiteral("E-mail: a@x\r            b@y"));
        QCOMPARE(aboutText(QStringLiteral("Autor"), QStringLiteral("a@x"), QStringLiteral("b@y")),
                 QStringLiteral("Autor\rDuvidas, criticas, sugestões por favor, E-mail me\ra@x\rb@y"));
        QCOMPARE(failureText(), QStringLiteral("Nem todas as respostas estão corretas."));
    }
};

QTEST_GUILESS_MAIN(PuzzleRulesTest)
#include "tst_puzzle_rules.moc"
