// The document commands: New, Open, Close, Save, Save As, Exit, the save prompt and the
// toolbar's dispatcher.
#include "mainlogic.h"

#include "browse/tables.h"
#include "model/gradebookfile.h"
#include "output/pdfname.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

QString TextFilter() {
    return u"ﾃｷｽﾄﾌｧｲﾙ (*.txt)|*.txt"_s;
}
QString SaveAsTitle() {
    return u"名前をつけて保存する"_s;
}

} // namespace

void MainLogic::mnuFileNew_Click() {
    // Only offered while no grade book is open, so the book is in its reset state here.
    if (!Allowed(Menu::FileNew))
        return;
    StartNewBook();
}

void MainLogic::StartNewBook() {
    book.HomeRoomYear = u"未登録です"_s;
    file_.Release();
    startUnsaved_ = true; // a new book counts as changed until it is first saved
    ResetUndo();
    recoveryBytes_ = GradeBookFileBytes(book); // nothing typed yet
    recoveryBase_.reset();
    TreeView1_refresh();

    // Save asks for a name, as Save As does; the whole book goes to a workbook while a book is
    // open. Open stays: it asks the save question and replaces the book.
    EnableMenus({Menu::FileClose, Menu::XlsxBookSaveAs, Menu::FileSaveAs, Menu::EditNameBook,
                 Menu::FileSave},
                true);
    EnableMenus({Menu::FileNew}, false);
    FollowCleanState();
    EnableButton(u"上書き保存"_s, true);
    EnableButton(u"新規作成"_s, false);
    ShowBookAfresh();
    statusText = u"ﾋﾝﾄ：最初に学級の設定をします。[学級の編集]をｸﾘｯｸしてください"_s;
    Notify();
}

void MainLogic::mnuFileOpen_Click() {
    if (!Allowed(Menu::FileOpen))
        return;
    const auto path = platform.OpenFileName(u"開く"_s, TextFilter());
    if (!path)
        return;
    OpenDocument(*path);
}

bool MainLogic::OpenDocument(const QString& path) {
    if (!windowEnabled)
        return false; // an editor is open
    if (BookOpen() && !SavePrompt())
        return false; // the teacher wanted to save and nothing was saved: keep the book
    return OpenPath(path);
}

bool MainLogic::OpenPath(const QString& path) {
    QString error;
    if (!OpenRead(path, &error)) {
        if (!error.isEmpty()) // empty: the teacher chose not to open it
            platform.ShowMessage(error);
        return false;
    }
    return true;
}

bool MainLogic::OpenPathIfReadable(const QString& path) {
    return OpenRead(path, nullptr);
}

bool MainLogic::OpenRead(const QString& path, QString* error) {
    BookFile::Opening opening;
    if (!file_.Open(path, &opening, error))
        return false;
    // The book is replaced only when the whole file was read; otherwise the program stays
    // exactly as it was before the command (an open book stays open, with its lock).
    QString warning; // bad lines of the comments' section, which do not stop the opening
    if (!ParseGradeBookFile(opening.bytes, book, error, &warning)) {
        if (error && error->isEmpty())
            *error = u"ﾌｧｲﾙを読み込めませんでした。"_s;
        return false;
    }
    const bool noLock = opening.noLock;
    const bool takenOver = opening.takenOver;
    file_.Take(std::move(opening));
    RememberRecent(path);
    ShowOpenedBook(path);
    if (noLock)
        Confirm(u"このフォルダーにはロックファイルを作れないため、ほかのKiruneで同時に開かれても"
                u"知らせられません（保存の前には、ほかのプログラムによる変更を確かめます）。"_s);
    if (takenOver)
        Confirm(u"前に正しく閉じられなかったときのロックファイルが残っていたため、"
                u"引き継いで開きました。"_s);
    recoveryBytes_.clear();
    recoveryBase_ = std::make_shared<const GradeBook>(book); // what the file holds needs no copy
    if (!warning.isEmpty())
        platform.ShowMessage(warning);
    return true;
}

void MainLogic::ShowOpenedBook(const QString& fileName) {
    session.FileName = fileName;
    startUnsaved_ = !file_.HasOwnFile();
    ResetUndo();
    TreeView1_refresh();

    EnableMenus(
        {Menu::FileClose, Menu::XlsxBookSaveAs, Menu::FileSave, Menu::FileSaveAs, Menu::FileOpen},
        true);
    EnableMenus({Menu::FileNew}, false);
    EnableByEnrolment();
    FollowCleanState(); // a book just read is what its file holds: nothing to save
    EnableButton(u"上書き保存"_s, true);
    EnableButton(u"新規作成"_s, false);
    EnableButton(u"開く"_s, true);
    // A book opened over another one shows its class node, whatever was selected before.
    ShowBookAfresh();
    UpdateHistoryMenu();
    Notify();
}

void MainLogic::mnuFileClose_Click() {
    if (!Allowed(Menu::FileClose))
        return;
    if (!SavePrompt())
        return; // the teacher wanted to save and nothing was saved: keep the book open

    DropRecoveryCopy();
    ResetGradeBook(book);
    file_.Release();
    startUnsaved_ = false;
    ResetUndo();
    session.FileName.clear();
    EnableMenus({Menu::FileClose, Menu::XlsxBookSaveAs, Menu::FileSave, Menu::FileSaveAs,
                 Menu::FilePrint, Menu::FilePupilRecords, Menu::EditNameBook},
                false);
    EnableMenus({Menu::FileNew, Menu::FileOpen}, true);
    EnableButton(u"新規作成"_s, true);
    EnableButton(u"開く"_s, true);
    EnableButton(u"印刷"_s, false);

    // The state of a start without a book.
    Form_Load();
    ShowBookAfresh();
    Notify();
}

void MainLogic::mnuFileSave_Click() {
    SaveCommand();
}

bool MainLogic::SaveCommand() {
    return Allowed(Menu::FileSave) && SaveNow();
}

bool MainLogic::WriteToFileName() {
    QString error;
    const QString path = session.FileName;
    switch (file_.ClearedToOverwrite(path)) {
    case BookFile::Overwrite::Cleared:
        break;
    case BookFile::Overwrite::SaveAs: {
        const bool saved = SaveAsWithDialog();
        Notify();
        return saved;
    }
    case BookFile::Overwrite::Stop:
        Notify();
        return false;
    }
    const QByteArray written = GradeBookFileBytes(book);
    if (!CheckStorableTexts(book, &error) || !file_.Write(path, written, &error)) {
        platform.ShowMessage(error.isEmpty() ? u"ﾌｧｲﾙに書き込めませんでした。"_s : error);
        Notify();
        return false;
    }
    startUnsaved_ = false;
    undoStack.setClean();
    FollowCleanState();
    DropRecoveryCopy();
    KeepVersion();
    UpdateHistoryMenu();
    RememberRecent(session.FileName);
    Confirm(u"保存しました: "_s + QFileInfo(session.FileName).fileName());
    return true;
}

void MainLogic::mnuFileSaveAs_Click() {
    if (!Allowed(Menu::FileSaveAs))
        return;
    SaveAsWithDialog();
}

QString MainLogic::SaveStart(const QString& name) const {
    if (!HasOwnFile() || session.FileName.isEmpty())
        return name; // the folder last chosen
    return QFileInfo(session.FileName).absoluteDir().filePath(name);
}

bool MainLogic::SaveAsWithDialog() {
    // The dialog asks before it lets an existing file be chosen (another class's book, say).
    const QString name =
        HasOwnFile() ? QFileInfo(session.FileName).fileName() : ClassBookName(book);
    const auto path = platform.SaveFileName(
        SaveAsTitle(), TextFilter(),
        {SaveStart(name), QStringLiteral("txt"),
         [this](const QString& chosen) { return file_.Refusal(chosen, false); }});
    if (!path)
        return false;
    // A failed write keeps the file the book came from, so a later Save does not go to a path
    // that holds nothing of it.
    const QString previous = session.FileName;
    session.FileName = WithSuffix(*path, "txt");
    if (WriteToFileName())
        return true;
    session.FileName = previous;
    Notify();
    return false;
}

bool MainLogic::SaveNow() {
    if (HasOwnFile() && !file_.ReadOnly())
        return WriteToFileName();
    if (Item(Menu::FileSaveAs).enabled)
        return SaveAsWithDialog();
    return false;
}

bool MainLogic::SavePrompt() {
    if (!session.NeedsSave)
        return true;
    switch (AskYesNoCancel(platform, u"ﾌｧｲﾙが保存していません。保存しますか？"_s)) {
    case Platform::Answer::No:
        return true;
    case Platform::Answer::Yes:
        // Whatever kept the save from happening (no way to save, the dialog cancelled, a
        // failed write), the command that asked stops and the book stays open.
        return SaveNow();
    case Platform::Answer::Cancel:
        break;
    }
    return false;
}

void MainLogic::mnuFileExit_Click() {
    if (!windowEnabled)
        return;
    if (closeWindow)
        closeWindow();
    else
        Form_Unload(placement, false);
}

void MainLogic::tbToolBar_ButtonClick(const QString& key) {
    if (!windowEnabled)
        return;
    const ToolbarButtonState* button = Button(key);
    if (!button || !button->enabled)
        return;
    if (key == u"新規作成"_s)
        mnuFileNew_Click();
    else if (key == u"開く"_s)
        mnuFileOpen_Click();
    else if (key == u"上書き保存"_s)
        SaveNow();
    else if (key == u"印刷"_s)
        mnuFilePrint_Click();
    else if (key == u"編集"_s)
        mnuEditProperty_Click();
}

// --- Recent files, the title, confirmations ---------------------------------------------------

QString MainLogic::TitleFileName() const {
    if (!BookOpen())
        return QString();
    // A new book has no file of its own until Save As (FileName may still name a closed one).
    if (!file_.HasOwnFile() || session.FileName.isEmpty())
        return u"無題"_s;
    return QFileInfo(session.FileName).fileName() +
           (file_.ReadOnly() ? u"（読み取り専用）"_s : QString());
}

void MainLogic::RememberRecent(const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    QStringList list = recentFiles;
    list.removeAll(full);
    list.prepend(full);
    while (list.size() > kMaxRecentFiles)
        list.removeLast();
    if (list == recentFiles)
        return;
    recentFiles = list;
    platform.WriteSetting(QStringLiteral("RecentFiles"), recentFiles);
}

QStringList MainLogic::RecentMenuCaptions() const {
    QStringList captions;
    for (int i = 0; i < recentFiles.size(); ++i) {
        QString shown = QDir::toNativeSeparators(recentFiles[i]);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        captions << QStringLiteral("&%1 ").arg(i + 1) + shown;
    }
    return captions;
}

void MainLogic::mnuFileRecent_Click(int index) {
    if (!windowEnabled || index < 0 || index >= recentFiles.size())
        return;
    const QString path = recentFiles[index];
    if (!QFileInfo(path).isFile()) {
        recentFiles.removeAt(index);
        platform.WriteSetting(QStringLiteral("RecentFiles"), recentFiles);
        Notify();
        platform.ShowMessage(u"ﾌｧｲﾙが見つかりません。最近使ったファイルの一覧から外しました。\n"_s +
                             QDir::toNativeSeparators(path));
        return;
    }
    OpenDocument(path);
}

void MainLogic::Confirm(const QString& message) {
    statusMessage = message;
    ++statusMessageCount;
    Notify();
}

} // namespace kirune
