#pragma once

#include <QString>
#include <QStringList>
#include <array>

// The five-house puzzle without its window: the texts it shows, the lists'
// entries, the one solution and the check. Positions are those of the
// drop-down lists: -1 nothing chosen, 0 the dash entry, 1..5 an answer.
namespace tv::puzzle {

enum Attribute { Cor, Nacionalidade, Bebida, Cigarro, Animal };
inline constexpr int kHouses = 5;
inline constexpr int kAttributes = 5;

// Positions in the order the check reads them: all colours (houses 1..5),
// then all nationalities, drinks, cigarettes and pets.
using Answer = std::array<int, kHouses * kAttributes>;
inline constexpr int answerIndex(Attribute a, int house) { return int(a) * kHouses + (house - 1); }

QString attributeName(Attribute a);               // "Cor", "Nacionalidade", ...
QStringList listEntries(Attribute a, int house);  // six entries, dashes first
QStringList rules();                              // the four rule lines
QStringList clues();                              // the fifteen clues
int solution(Attribute a, int house);             // 1..5

// True when every one of the 25 positions matches the solution.
bool VerificaTeste(const Answer &answer);

// The picture colour for a colour-list position: 0 means the button-face
// colour, 1..5 red, white, green, yellow, blue; invalid for anything else.
struct Rgb
{
    int red = 0, green = 0, blue = 0;
    bool buttonFace = false;
    bool valid = false;
};
Rgb houseColour(int position);

// The texts of the messages.
QString failureText();
QString successText(const QString &counterCaption);
QString introductionText();
QString invitationText(const QString &contact1, const QString &contact2);
QString aboutText(const QString &authorLine, const QString &contact1, const QString &contact2);

} // namespace tv::puzzle
