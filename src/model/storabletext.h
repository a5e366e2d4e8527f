#pragma once
// The one rule for texts the grade book file can hold. The file ends a field with ";" and a
// record with a line break, and it is written in code page 932: a stored text holds no ";" where
// it is a field, no line break nor other control character, and only characters code page 932
// has. Editors refuse such a text where it is typed, imports where it is read in, and the file
// writer before it writes anything.

#include <QString>
#include <QStringView>

namespace kirune {

enum class TextPlace {
    Field, // a text ended by ";" (names, titles, test names and dates)
    Line,  // a text that is a whole line of its own (the four homeroom lines): ";" is kept
};

// Empty when `text` can be stored at `place`. Otherwise what the first character it cannot hold
// is, in Japanese, as the messages name it: "「;」や改行", "制御文字", "「😀」（Shift-JIS にない
// 文字）"; or the message that the converter of code page 932 cannot be opened.
QString UnstorableCharacter(QStringView text, TextPlace place = TextPlace::Field);

inline bool IsStorableText(QStringView text, TextPlace place = TextPlace::Field) {
    return UnstorableCharacter(text, place).isEmpty();
}

// The message of an editor or an import for a text `field` that cannot be stored:
// "出席番号 3 の氏名に「;」や改行は使えません。"; empty when `text` can be stored.
QString UnstorableMessage(const QString& field, QStringView text,
                          TextPlace place = TextPlace::Field);

} // namespace kirune
