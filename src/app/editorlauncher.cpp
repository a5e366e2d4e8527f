#include "editorlauncher.h"

#if __has_include("editors/homeroom/formhomeroom.h")
#include "editors/homeroom/formhomeroom.h"
#define KIRUNE_HAS_HOMEROOM_EDITOR 1
#endif
#if __has_include("editors/test/formtestspec.h")
#include "editors/test/formtestspec.h"
#define KIRUNE_HAS_TEST_EDITOR 1
#endif
#if __has_include("editors/criteria/formsubjectspec.h")
#include "editors/criteria/formsubjectspec.h"
#define KIRUNE_HAS_SUBJECT_EDITOR 1
#endif
#if __has_include("editors/criteria/formsemesterspec.h")
#include "editors/criteria/formsemesterspec.h"
#define KIRUNE_HAS_SEMESTER_EDITOR 1
#endif

#include <algorithm>

namespace kirune {

EditorLauncher::EditorLauncher(GradeBook& book, Session& session, Platform& platform,
                               MainFormHooks& main, QObject* parent)
    : QObject(parent), book_(book), session_(session), platform_(platform), main_(main) {}

EditorLauncher::~EditorLauncher() {
    for (const auto& editor : open_)
        if (editor)
            disconnect(editor, nullptr, this, nullptr);
}

bool EditorLauncher::Available(EditorKind kind) {
    switch (kind) {
    case EditorKind::HomeRoom:
#ifdef KIRUNE_HAS_HOMEROOM_EDITOR
        return true;
#else
        return false;
#endif
    case EditorKind::Test:
#ifdef KIRUNE_HAS_TEST_EDITOR
        return true;
#else
        return false;
#endif
    case EditorKind::Subject:
#ifdef KIRUNE_HAS_SUBJECT_EDITOR
        return true;
#else
        return false;
#endif
    case EditorKind::Semester:
#ifdef KIRUNE_HAS_SEMESTER_EDITOR
        return true;
#else
        return false;
#endif
    }
    return false;
}

QWidget* EditorLauncher::Create(EditorKind kind) {
    switch (kind) {
    case EditorKind::HomeRoom:
#ifdef KIRUNE_HAS_HOMEROOM_EDITOR
        return new FormHomeRoom(book_, session_, platform_, main_);
#else
        break;
#endif
    case EditorKind::Test:
#ifdef KIRUNE_HAS_TEST_EDITOR
        return new FormTestSpec(book_, session_, platform_, main_);
#else
        break;
#endif
    case EditorKind::Subject:
#ifdef KIRUNE_HAS_SUBJECT_EDITOR
        return new FormSubjectSpec(book_, session_, platform_, main_);
#else
        break;
#endif
    case EditorKind::Semester:
#ifdef KIRUNE_HAS_SEMESTER_EDITOR
        return new FormSemesterSpec(book_, session_, platform_, main_);
#else
        break;
#endif
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
    editor->show();
    editor->raise();
    editor->activateWindow();
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
