#include "formcomment.h"

#include "editors/common/accessibility.h"
#include "editors/common/gridview.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTextCursor>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace kirune {

FormComment::FormComment(GradeBook& book, Session& session, Platform& platform, MainFormHooks& main,
                         QWidget* parent)
    : EditorFormBase("FormComment", u"所見の編集"_s, kClientWidth, kClientHeight, Qt::Dialog,
                     parent),
      logic_(book, session, platform, main) {
    BuildControls();
    logic_.changed = [this] { Refresh(); };
    logic_.closeWindow = [this] {
        closing_ = true;
        close();
    };
    logic_.Form_Load();
    ratings_->setGrid(&logic_.ratings);
    Refresh();
    text_->setFocus();
}

FormComment::~FormComment() {
    logic_.changed = nullptr;
    logic_.closeWindow = nullptr;
}

void FormComment::BuildControls() {
    auto* layout = new QGridLayout(this);
    heading_ = NewLabel(this, "Heading", QString());
    layout->addWidget(heading_, 0, 0, 1, 3);

    auto* periodLabel = NewLabel(this, "PeriodLabel", WithAccessKey(u"学期"_s, 'S'));
    period_ = new QComboBox(this);
    period_->setObjectName(u"Period"_s);
    period_->addItems(logic_.PeriodItems());
    period_->setAccessibleName(u"学期"_s);
    periodLabel->setBuddy(period_);
    auto* limitLabel = NewLabel(this, "LimitLabel", WithAccessKey(u"字数の上限"_s, 'L'));
    limit_ = new QSpinBox(this);
    limit_->setObjectName(u"Limit"_s);
    limit_->setRange(1, kMaxCommentLength);
    limit_->setAccessibleName(u"字数の上限"_s);
    limitLabel->setBuddy(limit_);
    auto* choices = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{periodLabel, period_, limitLabel, limit_})
        choices->addWidget(w);
    choices->addStretch();
    layout->addLayout(choices, 1, 0, 1, 2);

    auto* textLabel = NewLabel(this, "TextLabel", WithAccessKey(u"所見"_s, 'M'));
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(u"Text"_s);
    text_->setTabChangesFocus(true);
    text_->setAccessibleName(u"所見"_s);
    text_->setAttribute(Qt::WA_InputMethodEnabled, true);
    textLabel->setBuddy(text_);
    count_ = NewLabel(this, "Count", QString());
    count_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* textColumn = new QVBoxLayout;
    textColumn->addWidget(textLabel);
    textColumn->addWidget(text_, 1);
    textColumn->addWidget(count_);
    layout->addLayout(textColumn, 2, 0);

    ratings_ = new GridView(this);
    ratings_->setObjectName(u"Ratings"_s);
    ratings_->setAccessibleName(u"評定"_s);
    ratings_->setFocusPolicy(Qt::NoFocus);
    ratings_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(ratings_, 2, 1);

    auto* pendingLabel = NewLabel(this, "PendingLabel", WithAccessKey(u"未記入・字数超過"_s, 'J'));
    pending_ = new QListWidget(this);
    pending_->setObjectName(u"Pending"_s);
    pending_->setAccessibleName(u"未記入・字数超過"_s);
    pendingLabel->setBuddy(pending_);
    auto* side = new QVBoxLayout;
    register_ = NewButton(this, "Register", QString());
    SetButtonCaption(register_, u"登録"_s, 'R');
    cancel_ = NewButton(this, "Cancel", QString());
    SetButtonCaption(cancel_, u"ｷｬﾝｾﾙ"_s, 'C');
    previous_ = NewButton(this, "Previous", QString());
    SetButtonCaption(previous_, u"前の児童"_s, 'B');
    next_ = NewButton(this, "Next", QString());
    SetButtonCaption(next_, u"次の児童"_s, 'N');
    previous_->setToolTip(u"Ctrl+Page Up"_s);
    next_->setToolTip(u"Ctrl+Page Down"_s);
    for (QWidget* w :
         std::initializer_list<QWidget*>{register_, cancel_, previous_, next_, pendingLabel})
        side->addWidget(w);
    side->addWidget(pending_, 1);
    layout->addLayout(side, 0, 2, 3, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(2, 1);

    connect(period_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!refreshing_)
            logic_.Period_Change(index);
    });
    connect(limit_, &QSpinBox::valueChanged, this, [this](int value) {
        if (!refreshing_)
            logic_.Limit_Change(value);
    });
    connect(text_, &QPlainTextEdit::textChanged, this, [this] {
        if (refreshing_)
            return;
        const int cursor = text_->textCursor().position();
        const int grown = static_cast<int>(text_->toPlainText().size() - logic_.text.size());
        if (!logic_.Text_Change(text_->toPlainText())) {
            // Refused: the box takes its text back, the cursor where the typing began.
            QTextCursor at = text_->textCursor();
            at.setPosition(std::clamp(cursor - grown, 0, static_cast<int>(logic_.text.size())));
            text_->setTextCursor(at);
        }
    });
    connect(register_, &QPushButton::clicked, this, [this] { logic_.Register_Click(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { logic_.Cancel_Click(); });
    connect(previous_, &QPushButton::clicked, this, [this] { logic_.Previous_Click(); });
    connect(next_, &QPushButton::clicked, this, [this] { logic_.Next_Click(); });
    connect(pending_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { logic_.Pending_Click(pending_->row(item)); });
    auto* back = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp), this);
    connect(back, &QShortcut::activated, this, [this] { logic_.Previous_Click(); });
    auto* on = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown), this);
    connect(on, &QShortcut::activated, this, [this] { logic_.Next_Click(); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { logic_.Cancel_Click(); });
}

void FormComment::Refresh() {
    refreshing_ = true;
    heading_->setText(logic_.heading);
    period_->setCurrentIndex(logic_.period);
    limit_->setValue(logic_.limit);
    if (text_->toPlainText() != logic_.text) {
        text_->setPlainText(logic_.text);
        text_->moveCursor(QTextCursor::End);
    }
    count_->setText(logic_.count);
    QPalette palette = count_->palette();
    palette.setColor(QPalette::WindowText, logic_.overLimit
                                               ? QColor(0xC0, 0, 0)
                                               : this->palette().color(QPalette::WindowText));
    count_->setPalette(palette);
    pending_->clear();
    pending_->addItems(logic_.pendingItems);
    previous_->setEnabled(logic_.canGoBack);
    next_->setEnabled(logic_.canGoOn);
    ratings_->refresh();
    refreshing_ = false;
}

} // namespace kirune
