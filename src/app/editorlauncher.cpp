#include "editorlauncher.h"

#include "editors/comment/formcomment.h"
#include "editors/common/accessibility.h"
#include "editors/criteria/formsemesterspec.h"
#include "editors/criteria/formsubjectspec.h"
#include "editors/homeroom/formhomeroom.h"
#include "editors/exam/formtestspec.h"
#include "placement.h"

#include <QCloseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <algorithm>

namespace kirune {

namespace {

// An editor larger than the screen, inside a window of the screen's size that scrolls it.
class ScrolledEditor : public QScrollArea {
public:
    explicit ScrolledEditor(QWidget* editor) : QScrollArea(nullptr) {
        setObjectName(QStringLiteral("ScrolledEditor"));
        setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowCloseButtonHint);
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowTitle(editor->windowTitle());
        setWindowIcon(editor->windowIcon());
        MarkAsDialog(this);
        setWidget(editor); // the editor becomes a part of this window
        setAlignment(Qt::AlignCenter);
        connect(editor, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
        // The editor closes itself (登録, ｷｬﾝｾﾙ): the window goes with it.
        connect(editor, &QObject::destroyed, this, [this] {
            hide();
            deleteLater();
        });
    }

protected:
    void closeEvent(QCloseEvent* event) override {
        // The close box closes the editor as its own close box would (it may ask first).
        QWidget* editor = widget();
        if (editor && editor->isVisible() && !editor->close()) {
            event->ignore();
            return;
        }
        event->accept();
    }
};

} // namespace

QWidget* EditorLauncher::FitIntoArea(QWidget* editor, const QSize& available) {
    const QSize size = editor->size();
    if (size.width() <= available.width() && size.height() <= available.height())
        return editor;
    auto* window = new ScrolledEditor(editor);
    const int bar = window->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, window);
    const int frame = 2 * window->frameWidth();
    window->resize(std::min(size.width() + bar + frame, available.width()),
                   std::min(size.height() + bar + frame, available.height()));
    return window;
}

QString EditorLauncher::HelpPage(EditorKind kind) {
    switch (kind) {
    case EditorKind::HomeRoom:
        return QStringLiteral("class.html");
    case EditorKind::Test:
        return QStringLiteral("test.html");
    case EditorKind::Subject:
    case EditorKind::Semester:
        return QStringLiteral("criteria.html");
    case EditorKind::Comment:
        return QStringLiteral("comment.html");
    }
    return QString();
}

EditorLauncher::EditorLauncher(GradeBook& book, Session& session, Platform& platform,
                               MainFormHooks& main, QObject* parent)
    : QObject(parent), book_(book), session_(session), platform_(platform), main_(main) {}

EditorLauncher::~EditorLauncher() {
    for (const auto& editor : open_)
        if (editor)
            disconnect(editor, nullptr, this, nullptr);
}

QWidget* EditorLauncher::Create(EditorKind kind) {
    switch (kind) {
    case EditorKind::HomeRoom:
        return new FormHomeRoom(book_, session_, platform_, main_);
    case EditorKind::Test:
        return new FormTestSpec(book_, session_, platform_, main_);
    case EditorKind::Subject:
        return new FormSubjectSpec(book_, session_, platform_, main_);
    case EditorKind::Semester:
        return new FormSemesterSpec(book_, session_, platform_, main_);
    case EditorKind::Comment:
        return new FormComment(book_, session_, platform_, main_);
    }
    return nullptr;
}

QWidget* EditorLauncher::Open(EditorKind kind) {
    QWidget* editor = Create(kind);
    if (!editor)
        return nullptr;
    // Editors are windows of their own (no parent): a disabled main window must not disable
    // them. They go away as soon as they are closed.
    editor->setAttribute(Qt::WA_DeleteOnClose);
    open_.emplace_back(editor);
    connect(editor, &QObject::destroyed, this, &EditorLauncher::Forget);
    // F1 opens the help page of this editor.
    auto* help = new QShortcut(QKeySequence::HelpContents, editor);
    help->setContext(Qt::WidgetWithChildrenShortcut);
    const QString page = HelpPage(kind);
    connect(help, &QShortcut::activated, this, [this, page] { platform_.ShowHelpPage(page); });

    // Centred over the main window, inside the screen; scrolled when the screen is too small
    // (a large scale factor). The frame the window manager adds is taken as the main window's.
    const QList<QRect> areas = AvailableScreenAreas();
    QMargins frame;
    QRect over = areas.isEmpty() ? QRect() : areas.front();
    if (anchor_) {
        over = anchor_->frameGeometry();
        const QRect inner = anchor_->geometry();
        frame = QMargins(inner.left() - over.left(), inner.top() - over.top(),
                         over.right() - inner.right(), over.bottom() - inner.bottom());
    }
    QRect area = areas.isEmpty() ? QRect(0, 0, 1 << 15, 1 << 15) : areas.front();
    for (const QRect& candidate : areas)
        if (candidate.contains(over.center())) {
            area = candidate;
            break;
        }
    const QSize room(area.width() - frame.left() - frame.right(),
                     area.height() - frame.top() - frame.bottom());
    QWidget* window = FitIntoArea(editor, room);
    const QSize outer = window->size().grownBy(frame);
    window->move(CenteredOver(outer, over, areas).topLeft());

    window->show();
    window->raise();
    window->activateWindow();
    emit opened(editor);
    return editor;
}

void EditorLauncher::Forget(QObject* editor) {
    const auto before = open_.size();
    open_.erase(std::remove_if(open_.begin(), open_.end(),
                               [editor](const QPointer<QWidget>& open) {
                                   return open.isNull() || open.data() == editor;
                               }),
                open_.end());
    if (before > 0 && open_.empty())
        emit allClosed();
}

bool EditorLauncher::CloseAll() {
    // Copy first: closing deletes windows and changes the list.
    const auto editors = open_;
    for (auto it = editors.rbegin(); it != editors.rend(); ++it)
        if (*it && !(*it)->close())
            return false;
    return true;
}

int EditorLauncher::OpenCount() const {
    return static_cast<int>(std::count_if(open_.begin(), open_.end(),
                                          [](const QPointer<QWidget>& w) { return !w.isNull(); }));
}

QWidget* EditorLauncher::LastOpened() const {
    for (auto it = open_.rbegin(); it != open_.rend(); ++it)
        if (*it)
            return *it;
    return nullptr;
}

} // namespace kirune
