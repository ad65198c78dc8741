#include "PuzzleRules.h"

namespace tv::puzzle {

namespace {

const QStringList &answers(Attribute a)
{
    static const std::array<QStringList, kAttributes> kAnswers = {
        QStringList{QStringLiteral("Vermelha"), QStringLiteral("Branca"), QStringLiteral("Verde"), QStringLiteral("Amarela"), QStringLiteral("Azul")},
        QStringList{QStringLiteral("Inglês"), QStringLiteral("Sueco"), QStringLiteral("Dinamarquês"), QStringLiteral("Alemão"), QStringLiteral("Norueguês")},
        QStringList{QStringLiteral("Chá"), QStringLiteral("Café"), QStringLiteral("Leite"), QStringLiteral("Cerveja"), QStringLiteral("Água")},
        QStringList{QStringLiteral("Pall Mall"), QStringLiteral("Dunhill"), QStringLiteral("Blends"), QStringLiteral("Bluemaster"), QStringLiteral("Prince")},
        // "Passáros" is the lists' own spelling (the clue says "pássaros").
        QStringList{QStringLiteral("Cachorros"), QStringLiteral("Passáros"), QStringLiteral("Gatos"), QStringLiteral("Cavalos"), QStringLiteral("Peixe")},
    };
    return kAnswers[std::size_t(a)];
}

// solution[house - 1][attribute]
constexpr int kSolution[kHouses][kAttributes] = {
    {4, 5, 5, 2, 3},
    {5, 3, 1, 3, 4},
    {1, 1, 3, 1, 2},
    {3, 4, 2, 5, 5},
    {2, 2, 4, 4, 1},
};

} // namespace

QString attributeName(Attribute a)
{
    static const char *const kNames[] = {"Cor", "Nacionalidade", "Bebida", "Cigarro", "Animal"};
    return QString::fromLatin1(kNames[a]);
}

QStringList listEntries(Attribute a, int house)
{
    // Each list's "no answer" row has its own length, from 21 to 38 dashes.
    const int dashes = 21 + (int(a) * 7 + house * 5) % 18;
    return QStringList{QString(dashes, QLatin1Char('-'))} + answers(a);
}

QStringList rules()
{
    return {
        QStringLiteral("1-)  Há cinco casas de cinco diferentes cores."),
        QStringLiteral("2-)  Em cada casa mora uma pessoa de uma diferente nacionalidade."),
        QStringLiteral("3-)  Essas cinco  pessoas,   bebem   diferentes bebidas, fumam diferentes marcas de cigarro e têm um certo animal de estimação."),
        QStringLiteral("4-)  Nenhuma delas tem o mesmo animal, fuma o mesmo cigarro ou bebe a mesma bebida."),
    };
}

QStringList clues()
{
    return {
        QStringLiteral("O Inglês vive na casa vermelha."),
        QStringLiteral("O Sueco tem cachorros como animais de estimação."),
        QStringLiteral("O Dinamarquês bebe chá."),
        QStringLiteral("A casa verde fica á esquerda da casa branca."),
        QStringLiteral("O dono da casa verde bebe café"),
        QStringLiteral("A pessoa que fuma Pall Mall cria pássaros."),
        QStringLiteral("O dono da casa amarela fuma Dunhill."),
        QStringLiteral("O homem que vive na casa do centro bebe leite."),
        QStringLiteral("O Norueguês vive na primeira casa."),
        QStringLiteral("O Homem que fuma Blends vive ao lado do que tem gatos."),
        QStringLiteral("O homem que cria cavalos vive ao lado do que fuma Dunhill."),
        QStringLiteral("O homem que fuma Bluemaster bebe cerveja."),
        QStringLiteral("O alemão fuma Prince."),
        QStringLiteral("O norueguês vive ao lado da casa azul."),
        QStringLiteral("O homem que fuma Blends é vizinho do que bebe água."),
    };
}

int solution(Attribute a, int house)
{
    return kSolution[house - 1][a];
}

bool VerificaTeste(const Answer &answer)
{
    for (int a = Cor; a <= Animal; ++a) {
        for (int house = 1; house <= kHouses; ++house) {
            if (answer[std::size_t(answerIndex(Attribute(a), house))] != solution(Attribute(a), house))
                return false; // the first difference decides
        }
    }
    return true;
}

Rgb houseColour(int position)
{
    switch (position) {
    case 0: return {0, 0, 0, true, true};
    case 1: return {255, 0, 0, false, true};
    case 2: return {255, 255, 255, false, true};
    case 3: return {0, 255, 0, false, true};
    case 4: return {255, 255, 0, false, true};
    case 5: return {0, 0, 255, false, true};
    default: return {};
    }
}

QString failureText()
{
    return QStringLiteral("Nem todas as respostas estão corretas.");
}

QString successText(const QString &counterCaption)
{
    return QStringLiteral("Parabéns, você agora faz parte de seleto grupo de 120 milhões de pessoas(2% da população terrestre) "
                          "segundo Quorvane, capazes de resolver este teste.")
           + QChar(13) + QStringLiteral("Você demorou ") + counterCaption + QStringLiteral(" segundos para resolver esse teste.");
}

QString introductionText()
{
    return QStringLiteral("Após elaborar este teste, Quorvane afirmou que só 2% da população terrestre(atualmente 120 milhões entre 6 "
                          "bilhões) seria capaz de resolve-lo, será que você também faz parte desse 'seleto' grupo?");
}

QString invitationText(const QString &contact1, const QString &contact2)
{
    return QStringLiteral("Se você tem algum teste interessante e gostaria de vê-lo em forma de programa, mande um E-mail me "
                          "descrevendo com detalhes o teste que eu direi se poderei fazê-lo.")
           + QChar(13) + QStringLiteral("E-mail: ") + contact1 + QChar(13) + QString(12, QLatin1Char(' ')) + contact2;
}

QString aboutText(const QString &authorLine, const QString &contact1, const QString &contact2)
{
    return authorLine + QChar(13) + QStringLiteral("Duvidas, criticas, sugestões por favor, E-mail me") + QChar(13) + contact1 + QChar(13)
           + contact2;
}

} // namespace tv::puzzle
