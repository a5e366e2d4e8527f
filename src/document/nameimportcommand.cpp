// Edit > 生徒名簿ﾌｧｲﾙの読み込み: fills the roster from a text file of names, numbered in file
// order.
#include "mainlogic.h"
#include "model/numbers.h"
#include "output/rosterimport.h"

using namespace Qt::StringLiterals;

namespace kirune {

QString MainLogic::RosterFilter() {
    // A roster is kept as .txt as often as .csv, or as a workbook.
    return u"名簿ファイル (*.txt *.csv *.xlsx)|*.txt;*.csv;*.xlsx|すべてのファイル (*)|*"_s;
}

void MainLogic::mnuEditNameBook_Click() {
    // Offered while no pupil has a name, with or without a grade book open.
    if (!Allowed(Menu::EditNameBook))
        return;
    const auto path = platform.OpenFileName(u"開く"_s, RosterFilter());
    if (!path)
        return;

    // The whole file is read before anything is stored: a refused file changes nothing.
    const RosterImport roster = ReadRosterFile(*path);
    if (!roster.ok) {
        platform.ShowMessage(roster.message);
        return;
    }

    // Without a grade book the names start a new one, exactly as New does, so that the tree,
    // Save As and the heading follow.
    if (!BookOpen())
        StartNewBook();

    const int k = static_cast<int>(roster.names.size()); // at most kMaxPupils
    bool changed = book.RosterSize != k;
    for (int i = 0; i < k; ++i) {
        changed = changed || book.StudentNames[i] != roster.names[i];
        book.StudentNames[i] = roster.names[i];
    }
    // Names stored earlier beyond the new roster stay where they are: they lie past RosterSize
    // and count for nothing.
    book.RosterSize = static_cast<int16_t>(k);
    // The class has just gained its pupils: the criteria never set get their defaults, as the
    // homeroom registration gives them.
    FillDefaultCriteria(book);
    if (changed)
        session.MarkChanged();

    grid.SetRows(k + 3);
    grid.SetColWidth(1, 1600);
    grid.SetText(0, 1, u"生徒氏名"_s);
    if (k > 0) {
        for (int i = 1; i <= k; ++i) {
            grid.SetText(i, 0, NumberText(i));
            grid.SetText(i, 1, book.StudentNames[i - 1]);
        }
        grid.SetText(k + 1, 0, QString());
        grid.SetText(k + 1, 1, QString());
        EnableMenus({Menu::EditNameBook}, false);
        EnableMenus({Menu::FilePrint, Menu::FilePupilRecords}, true);
        EnableButton(u"印刷"_s, true);
    }
    frame1Caption = HomeRoomHeading(book);
    if (changed)
        RecordStep(u"生徒名簿の読み込み"_s);
    Notify();
}

} // namespace kirune
