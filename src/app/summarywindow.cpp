#include "summarywindow.h"

#include "editors/common/gridview.h"

#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kirune {

SummaryWindow::SummaryWindow(std::unique_ptr<GradeSummaryLogic> logic, QWidget* parent)
    : QWidget(parent, Qt::Window), logic_(std::move(logic)) {
    setObjectName(QStringLiteral("frmGradeSummary"));
    setWindowTitle(u"学年の集計 - "_s + kProgramTitle);
    setAttribute(Qt::WA_DeleteOnClose);

    caption_ = new QLabel(this);
    period_ = new QComboBox(this);
    period_->setObjectName(QStringLiteral("cboPeriod"));
    period_->addItems(GradeSummaryLogic::PeriodChoices());
    auto* periodLabel = new QLabel(u"期間(&K):"_s, this);
    periodLabel->setBuddy(period_);
    print_ = new QPushButton(u"印刷(&P)..."_s, this);
    print_->setObjectName(QStringLiteral("cmdPrint"));
    save_ = new QPushButton(u"Excel・CSVで保存(&S)..."_s, this);
    save_->setObjectName(QStringLiteral("cmdSave"));
    close_ = new QPushButton(u"閉じる(&C)"_s, this);
    close_->setObjectName(QStringLiteral("cmdClose"));
    table_ = new GridView(this);
    table_->setObjectName(QStringLiteral("grdSummary"));
    table_->setFixedCounts(1, 2);
    table_->setGrid(&logic_->grid);
    notes_ = new QLabel(this);
    notes_->setWordWrap(true);
    notes_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    status_ = new QLabel(this);

    auto* bar = new QHBoxLayout;
    bar->addWidget(periodLabel);
    bar->addWidget(period_);
    bar->addSpacing(12);
    bar->addWidget(print_);
    bar->addWidget(save_);
    bar->addStretch(1);
    bar->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(caption_);
    layout->addWidget(table_, 1);
    layout->addWidget(notes_);
    layout->addWidget(status_);

    connect(period_, &QComboBox::currentIndexChanged, this, [this](int choice) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        logic_->ChoosePeriod(choice);
        QApplication::restoreOverrideCursor();
    });
    connect(print_, &QPushButton::clicked, this, [this] { logic_->Print(); });
    connect(save_, &QPushButton::clicked, this, [this] { logic_->SaveAs(); });
    connect(close_, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            [this] { logic_->Help(); });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    logic_->changed = [this] { ShowState(); };
    ShowState();

    // Most of the screen: the table is wide.
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        resize(available.width() * 9 / 10, available.height() * 3 / 4);
        move(available.center() - rect().center());
    }
}

SummaryWindow::~SummaryWindow() {
    logic_->changed = nullptr;
}

void SummaryWindow::ShowState() {
    caption_->setText(logic_->caption);
    if (period_->currentIndex() != logic_->PeriodChoice()) {
        const QSignalBlocker quiet(period_);
        period_->setCurrentIndex(logic_->PeriodChoice());
    }
    table_->setGrid(&logic_->grid);
    table_->refresh();
    notes_->setText(logic_->notes.join(u'\n'));
    notes_->setVisible(!logic_->notes.isEmpty());
    status_->setText(logic_->statusText);
}

} // namespace kirune
