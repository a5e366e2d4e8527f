// The document commands: New, Open, Close, Save, Save As, Exit, the save prompt, the toolbar's
// dispatcher and the CSV export of the table on screen.
#include "mainlogic.h"

#include "browse/tables.h"
#include "model/gradebookfile.h"
#include "output/csvexport.h"
#include "output/xlsxexport.h"

#include <QDir>
#include <QFileInfo>

namespace kirune {

namespace {

QString U(const char16_t* text) {
    return QString::fromUtf16(text);
}

QString TextFilter() {
    return U(u"ﾃｷｽﾄﾌｧｲﾙ (*.txt)|*.txt");
}
QString SaveAsTitle() {
    return U(u"名前をつけて保存する");
}

const QString kNew = QStringLiteral("mnuFileNew");
const QString kOpen = QStringLiteral("mnuFileOpen");
const QString kClose = QStringLiteral("mnuFileClose");
const QString kSave = QStringLiteral("mnuFileSave");
const QString kSaveAs = QStringLiteral("mnuFileSaveAs");
const QString kPrint = QStringLiteral("mnuFilePrint");
const QString kEditProperty = QStringLiteral("mnuEditProperty");
const QString kNameBook = QStringLiteral("mnuEditNameBook");

// A name chosen without an extension gets `suffix`, so the file dialogs' filters show it later.
QString WithSuffix(const QString& path, const char* suffix) {
    if (!QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + QLatin1String(suffix);
}

} // namespace

bool MainLogic::Allowed(const QString& menu) const {
    return windowEnabled && Menu(menu).enabled;
}

void MainLogic::mnuFileNew_Click() {
    // Only offered while no grade book is open, so the book is in its reset state here.
    if (!Allowed(kNew))
        return;
    StartNewBook();
}

void MainLogic::StartNewBook() {
    book.HomeRoomYear = U(u"未登録です");
    ForgetFile();
    ownFile_ = false;
    startUnsaved_ = true; // a new book counts as changed until it is first saved
    ResetUndo();
    recoveryBytes_ = GradeBookFileBytes(book); // nothing typed yet
    recoveryBase_.reset();
    TreeView1_refresh();
    session.SelectedNodeKey = kHomeRoomKey;
    MenuRef(kEditProperty).caption = U(u"学級の編集(&E)");
    statusText = U(u"ﾋﾝﾄ：最初に学級の設定をします。[学級の編集]をｸﾘｯｸしてください");

    EnableMenu(kEditProperty, true);
    EnableMenu(kClose, true);
    EnableMenu(kSaveAs, true);
    EnableMenu(kNameBook, true);
    EnableMenu(kSave, true); // asks for a name, as Save As does
    EnableMenu(kNew, false); // Open stays: it asks the save question and replaces the book
    FollowCleanState();

    if (auto* edit = Button(U(u"編集"))) {
        edit->enabled = true;
        edit->caption = U(u" 学 級 の 編 集 ");
    }
    EnableButton(U(u"上書き保存"), true);
    EnableButton(U(u"新規作成"), false);
    Notify();
}

void MainLogic::mnuFileOpen_Click() {
    if (!Allowed(kOpen))
        return;
    const auto path = platform.OpenFileName(U(u"開く"), TextFilter());
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

bool MainLogic::LockForOpening(const QString& path, std::unique_ptr<QLockFile>* lock,
                               bool* readOnly, bool* noLockNote) {
    *readOnly = *noLockNote = false;
    if (bookLock_ && bookLock_->fileName() == BookLockPath(path))
        return true; // this program holds it already (the same book opened again)
    BookLockAttempt attempt = TryLockBook(path);
    switch (attempt.state) {
    case BookLockAttempt::State::Taken:
        *lock = std::move(attempt.lock);
        return true;
    case BookLockAttempt::State::Unavailable:
        *noLockNote = true;
        return true;
    case BookLockAttempt::State::HeldElsewhere:
        break;
    }
    const QString question = U(u"「%1」は、ほかのKirune（%2）で開かれています。")
                                 .arg(QFileInfo(path).fileName(), attempt.holder);
    switch (platform.AskChoice(
        question, {U(u"読み取り専用で開く"), U(u"このまま開く"), U(u"キャンセル")}, 0, 2)) {
    case 0:
        *readOnly = true;
        return true;
    case 1:
        return true;
    default:
        return false;
    }
}

bool MainLogic::OpenRead(const QString& path, QString* error) {
    std::unique_ptr<QLockFile> lock;
    bool readOnly = false, noLockNote = false;
    if (!LockForOpening(path, &lock, &readOnly, &noLockNote)) {
        if (error)
            error->clear();
        return false;
    }
    // What the file holds now, taken before it is read: should it change in between, Save asks
    // rather than overwrite unseen work.
    DiskStamp stamp;
    if (!ReadDiskStamp(path, &stamp, error))
        return false;
    // The reader replaces the grade book only when the whole file was read; otherwise the
    // program stays exactly as it was before the command (an open book stays open, with its
    // lock).
    if (!ReadGradeBookFile(path, book, error)) {
        if (error && error->isEmpty())
            *error = U(u"ﾌｧｲﾙを読み込めませんでした。");
        return false;
    }
    if (lock || !bookLock_ || bookLock_->fileName() != BookLockPath(path))
        bookLock_ = std::move(lock); // the earlier book's lock is given up
    readOnly_ = readOnly;
    diskStamp_ = stamp;
    stampedPath_ = path;
    RememberRecent(path);
    ShowOpenedBook(path);
    if (noLockNote)
        Confirm(U(u"このフォルダーにはロックファイルを作れないため、ほかのKiruneで同時に開かれても"
                  u"知らせられません（保存の前には、ほかのプログラムによる変更を確かめます）。"));
    recoveryBytes_.clear();
    recoveryBase_ = std::make_shared<const GradeBook>(book); // what the file holds needs no copy
    return true;
}

void MainLogic::ShowOpenedBook(const QString& fileName) {
    // A book opened over another one starts with nothing selected, as after Close.
    session.SelectedNodeIndex = 0;
    session.CautionAnswer = false;
    session.FileName = fileName;
    ownFile_ = !fileName.isEmpty();
    startUnsaved_ = !ownFile_;
    ResetUndo();
    TreeView1_refresh();
    session.SelectedNodeKey = kHomeRoomKey;

    MenuRef(kEditProperty).caption = U(u"学級の編集(&E)");
    EnableMenu(kEditProperty, true);
    EnableMenu(kClose, true);
    EnableMenu(kSave, true);
    EnableMenu(kSaveAs, true);
    EnableMenu(kOpen, true);
    EnableMenu(kNew, false);
    EnableByEnrolment();
    FollowCleanState(); // a book just read is what its file holds: nothing to save

    if (auto* edit = Button(U(u"編集"))) {
        edit->enabled = true;
        edit->caption = U(u" 学 級 の 編 集 ");
    }
    EnableButton(U(u"上書き保存"), true);
    EnableButton(U(u"新規作成"), false);
    EnableButton(U(u"開く"), true);

    statusText =
        U(u"ﾋﾝﾄ：学級のデータです。[学級の編集]で編集をします。[画面の表を印刷]で印刷します。");
    frame1Caption = HomeRoomHeading(book);
    UpdateHistoryMenu();
    Notify();
}

void MainLogic::mnuFileClose_Click() {
    if (!Allowed(kClose))
        return;
    if (!SavePrompt())
        return; // the teacher wanted to save and nothing was saved: keep the book open

    DropRecoveryCopy();
    ResetGradeBook(book);
    ForgetFile();
    ownFile_ = startUnsaved_ = false;
    ResetUndo();
    session.FileName.clear();
    for (const QString& name : {kEditProperty, kClose, kSave, kSaveAs, kPrint, kNameBook})
        EnableMenu(name, false);
    EnableMenu(kNew, true);
    EnableMenu(kOpen, true);
    session.NeedsSave = false;

    EnableButton(U(u"編集"), false);
    EnableButton(U(u"新規作成"), true);
    EnableButton(U(u"開く"), true);
    EnableButton(U(u"印刷"), false);

    nodes.clear();
    grid.ClearAllText();

    Form_Load();
    grid.SetRows(43);
    MSFlexGrid1_init();
    frame1Caption = HomeRoomHeading(book);
    Notify();
}

void MainLogic::mnuFileSave_Click() {
    if (!Allowed(kSave))
        return;
    SaveNow();
}

void MainLogic::ForgetFile() {
    bookLock_.reset();
    readOnly_ = false;
    diskStamp_ = DiskStamp();
    stampedPath_.clear();
}

bool MainLogic::ClearedToOverwrite(const QString& path, bool* savedAs) {
    *savedAs = false;
    if (stampedPath_.isEmpty() || SaveTarget(path) != SaveTarget(stampedPath_))
        return true; // another file: the save dialog asked before overwriting it
    QString error;
    DiskStamp now;
    if (!ReadDiskStamp(path, &now, &error)) {
        platform.ShowMessage(error);
        return false;
    }
    if (!ChangedOnDisk(diskStamp_, now))
        return true;
    const QString question = U(u"「%1」は、読み込んだ後にほかのプログラムで変更されています。"
                               u"上書きしますか？")
                                 .arg(QFileInfo(path).fileName());
    switch (platform.AskChoice(question, {U(u"名前を付けて保存"), U(u"上書き"), U(u"キャンセル")},
                               0, 2)) {
    case 0:
        *savedAs = SaveAsWithDialog();
        return false;
    case 1:
        return true;
    default:
        return false;
    }
}

bool MainLogic::WriteToFileName() {
    QString error;
    const QString path = session.FileName;
    if (readOnly_ && !stampedPath_.isEmpty() && SaveTarget(path) == SaveTarget(stampedPath_)) {
        // Opened read-only: another program holds this file.
        platform.ShowMessage(U(u"「%1」は読み取り専用で開いています。別の名前で保存してください。")
                                 .arg(QFileInfo(path).fileName()));
        return false;
    }
    bool savedAs = false;
    if (!ClearedToOverwrite(path, &savedAs)) {
        Notify();
        return savedAs;
    }
    QByteArray written;
    if (!WriteGradeBookFile(path, book, &error, &written)) {
        platform.ShowMessage(error.isEmpty() ? U(u"ﾌｧｲﾙに書き込めませんでした。") : error);
        Notify();
        return false;
    }
    if (SaveTarget(path) != SaveTarget(stampedPath_)) {
        // Saved under another name: that file is the book's now, and its lock with it.
        bookLock_.reset();
        readOnly_ = false;
        BookLockAttempt attempt = TryLockBook(path);
        bookLock_ = std::move(attempt.lock);
    }
    diskStamp_ = StampOfBytes(written);
    stampedPath_ = path;
    ownFile_ = true;
    startUnsaved_ = false;
    undoStack.setClean();
    FollowCleanState();
    DropRecoveryCopy();
    KeepVersion();
    UpdateHistoryMenu();
    RememberRecent(session.FileName);
    Confirm(U(u"保存しました: ") + QFileInfo(session.FileName).fileName());
    return true;
}

void MainLogic::mnuFileSaveAs_Click() {
    if (!Allowed(kSaveAs))
        return;
    SaveAsWithDialog();
}

bool MainLogic::SaveAsWithDialog() {
    const auto path = platform.SaveFileName(SaveAsTitle(), TextFilter());
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
    if (HasOwnFile() && !readOnly_)
        return WriteToFileName();
    if (Menu(kSaveAs).enabled)
        return SaveAsWithDialog();
    return false;
}

bool MainLogic::SavePrompt() {
    if (!session.NeedsSave)
        return true;
    switch (platform.AskYesNoCancel(U(u"ﾌｧｲﾙが保存していません。保存しますか？"))) {
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
    if (key == U(u"新規作成"))
        mnuFileNew_Click();
    else if (key == U(u"開く"))
        mnuFileOpen_Click();
    else if (key == U(u"上書き保存"))
        SaveNow();
    else if (key == U(u"印刷"))
        mnuFilePrint_Click();
    else if (key == U(u"編集"))
        mnuEditProperty_Click();
}

void MainLogic::mnuCSVSaveAs_Click() {
    if (!windowEnabled)
        return;
    // Its own title, so that it is not taken for Save As.
    const auto chosen =
        platform.SaveFileName(U(u"画面の表をCSVで保存"), U(u"ﾃｷｽﾄﾌｧｲﾙ (*.csv)|*.csv"));
    if (!chosen)
        return;
    const QString path = WithSuffix(*chosen, "csv");
    QString error;
    if (!ExportCsv(grid, path, session.FileName, &error)) {
        platform.ShowMessage(error.isEmpty() ? U(u"CSVﾌｧｲﾙに書き込めませんでした。") : error);
        return;
    }
    Confirm(U(u"画面の表をCSVで保存しました: ") + QFileInfo(path).fileName());
}

void MainLogic::mnuXlsxSaveAs_Click() {
    if (!windowEnabled)
        return;
    const auto chosen =
        platform.SaveFileName(U(u"画面の表をExcel形式で保存"), U(u"Excel ブック (*.xlsx)|*.xlsx"));
    if (!chosen)
        return;
    const QString path = WithSuffix(*chosen, "xlsx");
    if (WriteWorkbook({ShownSheet()}, frame1Caption, path))
        Confirm(U(u"画面の表をExcel形式で保存しました: ") + QFileInfo(path).fileName());
}

void MainLogic::mnuXlsxBookSaveAs_Click() {
    if (!Allowed(QStringLiteral("mnuXlsxBookSaveAs")))
        return;
    const auto chosen = platform.SaveFileName(U(u"成績簿全体をExcel形式で保存"),
                                              U(u"Excel ブック (*.xlsx)|*.xlsx"));
    if (!chosen)
        return;
    const QString path = WithSuffix(*chosen, "xlsx");
    if (ExportWorkbookTo(path, {}))
        Confirm(U(u"成績簿全体をExcel形式で保存しました: ") + QFileInfo(path).fileName());
}

bool MainLogic::ExportWorkbookTo(const QString& path, const QStringList& keys) {
    if (keys.isEmpty())
        return WriteWorkbook(WholeBookSheets(book), HomeRoomHeading(book), path);
    std::vector<WorkbookSheet> sheets;
    for (const QString& key : keys) {
        if (!SelectNodeByKey(key)) {
            platform.ShowMessage(U(u"ツリーにない項目です: ") + key);
            return false;
        }
        sheets.push_back(ShownSheet());
    }
    return WriteWorkbook(sheets, HomeRoomHeading(book), path);
}

WorkbookSheet MainLogic::ShownSheet() const {
    QString name = frame1Caption;
    for (const TreeNode& node : nodes)
        if (node.key == session.SelectedNodeKey)
            name = node.text;
    return SheetOfNode(book, session.SelectedNodeKey, name, frame1Caption, grid,
                       session.ShownColumnCount);
}

bool MainLogic::WriteWorkbook(const std::vector<WorkbookSheet>& sheets, const QString& title,
                              const QString& path) {
    QString error;
    if (ExportWorkbook(sheets, title, path, session.FileName, &error))
        return true;
    platform.ShowMessage(error.isEmpty() ? U(u"Excel ファイルに書き込めませんでした。") : error);
    return false;
}

// --- Recent files, the title, confirmations ---------------------------------------------------

QString MainLogic::TitleFileName() const {
    if (!BookOpen())
        return QString();
    // A new book has no file of its own until Save As (FileName may still name a closed one).
    if (!ownFile_ || session.FileName.isEmpty())
        return U(u"無題");
    return QFileInfo(session.FileName).fileName() +
           (readOnly_ ? U(u"（読み取り専用）") : QString());
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
        platform.ShowMessage(
            U(u"ﾌｧｲﾙが見つかりません。最近使ったファイルの一覧から外しました。\n") +
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
