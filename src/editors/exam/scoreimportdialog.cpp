#include "scoreimportdialog.h"

#include "editors/common/accessibility.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

QTableWidget* NewTable(const QString& name) {
    auto* table = new QTableWidget;
    table->setAccessibleName(name);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

// Fills `table` with `rows` under `headers`.
void Fill(QTableWidget* table, const QStringList& headers, const std::vector<QStringList>& rows,
          int rightAlignedFrom = -1, int rightAlignedTo = -1) {
    table->clear();
    table->setColumnCount(static_cast<int>(headers.size()));
    table->setHorizontalHeaderLabels(headers);
    table->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const QStringList& cells = rows[static_cast<size_t>(r)];
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells.at(c));
            if (c >= rightAlignedFrom && c <= rightAlignedTo)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(r, c, item);
        }
    }
    table->resizeColumnsToContents();
}

} // namespace

ScoreImportDialog::ScoreImportDialog(ScoreImport& import, const QString& fileName, QWidget* parent)
    : QDialog(parent), import_state_(import) {
    setObjectName(QStringLiteral("ScoreImportDialog"));
    setWindowTitle(u"得点の読み込み"_s);
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    auto* file = new QLabel(u"ファイル: %1"_s.arg(fileName));
    file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(file, 1);
    sheetLabel_ = new QLabel(WithAccessKey(u"シート"_s, 'S') + u':');
    sheet_ = new QComboBox;
    sheet_->setObjectName(QStringLiteral("SheetBox"));
    sheet_->setAccessibleName(u"シート"_s);
    sheet_->addItems(import.Table().sheetNames);
    sheet_->setCurrentIndex(import.Table().sheet);
    sheetLabel_->setBuddy(sheet_);
    top->addWidget(sheetLabel_);
    top->addWidget(sheet_);
    sheetLabel_->setVisible(import.Table().workbook);
    sheet_->setVisible(import.Table().workbook);
    layout->addLayout(top);

    auto* columns = new QGroupBox(u"読み込む列"_s);
    auto* grid = new QGridLayout(columns);
    const ScoreImportTarget& target = import.Target();
    const QString captions[5] = {WithAccessKey(u"出席番号の列"_s, 'N'),
                                 WithAccessKey(u"氏名の列"_s, 'M'),
                                 WithAccessKey(target.viewpoints[0] + u"の列"_s, '1'),
                                 WithAccessKey(target.viewpoints[1] + u"の列"_s, '2'),
                                 WithAccessKey(target.viewpoints[2] + u"の列"_s, '3')};
    int place = 0;
    for (int i = 0; i < 5; ++i) {
        columnLabels_[i] = new QLabel(captions[i] + u':');
        columnBoxes_[i] = new QComboBox;
        columnBoxes_[i]->setObjectName(QStringLiteral("ColumnBox%1").arg(i));
        columnBoxes_[i]->setAccessibleName(QString(captions[i]).remove(QStringLiteral("&")));
        columnBoxes_[i]->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        columnLabels_[i]->setBuddy(columnBoxes_[i]);
        const bool shown = i < 2 || target.checked[static_cast<size_t>(i - 2)];
        columnLabels_[i]->setVisible(shown);
        columnBoxes_[i]->setVisible(shown);
        if (!shown)
            continue;
        grid->addWidget(columnLabels_[i], place / 2, (place % 2) * 2);
        grid->addWidget(columnBoxes_[i], place / 2, (place % 2) * 2 + 1);
        ++place;
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    layout->addWidget(columns);

    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("PreviewMessage"));
    message_->setWordWrap(true);
    layout->addWidget(message_);

    tabs_ = new QTabWidget;
    const QString tableNames[5] = {u"取り込む生徒"_s, u"一致しない行"_s, u"行のない生徒"_s,
                                   u"得点でないセル"_s, u"注意"_s};
    for (int i = 0; i < 5; ++i) {
        tables_[i] = NewTable(tableNames[i]);
        // The scores stand in narrow columns; the other lists end in a text that takes the room.
        tables_[i]->horizontalHeader()->setStretchLastSection(i != 0);
        tabs_->addTab(tables_[i], tableNames[i]);
    }
    layout->addWidget(tabs_, 1);

    auto* buttons = new QDialogButtonBox;
    import_ = buttons->addButton(QString(), QDialogButtonBox::AcceptRole);
    SetButtonCaption(import_, u"取り込む"_s, 'I');
    import_->setObjectName(QStringLiteral("ImportButton"));
    import_->setDefault(true);
    QPushButton* cancel = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    SetButtonCaption(cancel, u"キャンセル"_s, 'C');
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(sheet_, &QComboBox::activated, this, [this](int index) {
        import_state_.ChooseSheet(index);
        FillColumnBoxes();
        ShowPreview();
    });
    for (QComboBox* box : columnBoxes_)
        connect(box, &QComboBox::activated, this, [this] { ColumnsChosen(); });

    FillColumnBoxes();
    ShowPreview();

    // As large as the preview needs, never larger than the screen.
    const QRect screen =
        this->screen() ? this->screen()->availableGeometry() : QRect(0, 0, 800, 600);
    const QSize wanted = QSize(fontMetrics().averageCharWidth() * 120, fontMetrics().height() * 34)
                             .boundedTo(screen.size() * 9 / 10);
    resize(wanted.expandedTo(minimumSizeHint()).boundedTo(screen.size()));
}

void ScoreImportDialog::FillColumnBoxes() {
    filling_ = true;
    const QStringList labels = import_state_.ColumnLabels();
    const ScoreColumns& chosen = import_state_.Preview().columns;
    const int current[5] = {chosen.numberColumn, chosen.nameColumn, chosen.viewpoint[0],
                            chosen.viewpoint[1], chosen.viewpoint[2]};
    for (int i = 0; i < 5; ++i) {
        QComboBox* box = columnBoxes_[static_cast<size_t>(i)];
        box->clear();
        box->addItem(u"（なし）"_s);
        box->addItems(labels);
        box->setCurrentIndex(current[i] + 1);
        box->setEnabled(import_state_.Table().ok && chosen.headerRow >= 0);
    }
    filling_ = false;
}

void ScoreImportDialog::ColumnsChosen() {
    if (filling_)
        return;
    ScoreColumns columns;
    columns.numberColumn = columnBoxes_[0]->currentIndex() - 1;
    columns.nameColumn = columnBoxes_[1]->currentIndex() - 1;
    for (int v = 0; v < 3; ++v)
        columns.viewpoint[static_cast<size_t>(v)] =
            import_state_.Target().checked[static_cast<size_t>(v)]
                ? columnBoxes_[static_cast<size_t>(v + 2)]->currentIndex() - 1
                : -1;
    import_state_.ChooseColumns(columns);
    ShowPreview();
}

void ScoreImportDialog::ShowPreview() {
    const ScorePreview& preview = import_state_.Preview();
    const ScoreImportTarget& target = import_state_.Target();
    const bool readable = import_state_.Table().ok && preview.ok;
    message_->setText(readable ? preview.Counts() : import_state_.Message());

    // The file's row first, as in the other lists; the scores as the boxes will hold them.
    QStringList matchedHeaders{u"行"_s, u"番号"_s, u"氏名"_s};
    for (int v = 0; v < 3; ++v)
        if (target.checked[static_cast<size_t>(v)])
            matchedHeaders.push_back(target.viewpoints[static_cast<size_t>(v)]);
    std::vector<QStringList> matched, unmatched, missing, faults, warnings;
    for (const ImportedPupil& p : preview.matched) {
        QStringList row{QString::number(p.row), QString::number(p.number),
                        target.names.value(p.number - 1)};
        for (int v = 0; v < 3; ++v)
            if (target.checked[static_cast<size_t>(v)])
                row.push_back(p.boxes[static_cast<size_t>(v)].trimmed());
        matched.push_back(row);
    }
    for (const UnmatchedRow& u : preview.unmatched)
        unmatched.push_back({QString::number(u.row), u.reason});
    for (int n : preview.missing)
        missing.push_back({QString::number(n), target.names.value(n - 1)});
    for (const CellFault& f : preview.faults)
        faults.push_back({ScorePreview::Place(f.row, f.column), f.text, f.reason});
    for (const QString& w : preview.warnings)
        warnings.push_back({w});
    Fill(tables_[0], matchedHeaders, matched, 3, static_cast<int>(matchedHeaders.size()) - 1);
    Fill(tables_[1], {u"行"_s, u"理由"_s}, unmatched);
    Fill(tables_[2], {u"番号"_s, u"氏名"_s}, missing);
    Fill(tables_[3], {u"場所"_s, u"内容"_s, u"理由"_s}, faults);
    Fill(tables_[4], {u"内容"_s}, warnings);
    const size_t counts[5] = {matched.size(), unmatched.size(), missing.size(), faults.size(),
                              warnings.size()};
    const QString names[5] = {u"取り込む生徒"_s, u"一致しない行"_s, u"行のない生徒"_s,
                              u"得点でないセル"_s, u"注意"_s};
    for (int i = 0; i < 5; ++i)
        tabs_->setTabText(i, QStringLiteral("%1 (%2)").arg(names[i]).arg(counts[i]));
    import_->setEnabled(import_state_.CanImport());
}

} // namespace kirune
