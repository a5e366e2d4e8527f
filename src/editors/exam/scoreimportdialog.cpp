#include "scoreimportdialog.h"

#include "editors/common/accessibility.h"

#include <QCheckBox>
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
    for (int i = 0; i < import.Table().sheetNames.size(); ++i)
        sheet_->addItem(import.Table().hiddenSheet[static_cast<size_t>(i)]
                            ? import.Table().sheetNames.at(i) + u"（非表示）"_s
                            : import.Table().sheetNames.at(i));
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
    const int below = (place + 1) / 2;
    headerless_ = new QCheckBox(WithAccessKey(u"見出しの行がない（1 行目から生徒の行）"_s, 'H'));
    headerless_->setObjectName(QStringLiteral("HeaderlessBox"));
    grid->addWidget(headerless_, below, 0, 1, 2);
    followsLabel_ = new QLabel(WithAccessKey(u"番号と名前が違う行"_s, 'F') + u':');
    follows_ = new QComboBox;
    follows_->setObjectName(QStringLiteral("FollowsBox"));
    follows_->setAccessibleName(u"番号と名前が違う行"_s);
    follows_->addItems({u"入力しない"_s, u"出席番号に従う"_s, u"氏名に従う"_s});
    followsLabel_->setBuddy(follows_);
    grid->addWidget(followsLabel_, below + 1, 0);
    grid->addWidget(follows_, below + 1, 1);
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
    connect(headerless_, &QCheckBox::toggled, this, [this](bool on) {
        import_state_.SetHeaderless(on);
        FillColumnBoxes();
        ShowPreview();
    });
    connect(follows_, &QComboBox::activated, this, [this](int index) {
        import_state_.ChooseFollows(static_cast<RowFollows>(index));
        ShowPreview();
    });

    FillColumnBoxes();
    ShowPreview();

    // Wide enough for the lists and tall enough for 15 pupils' rows, never beyond the screen.
    const QRect screen =
        this->screen() ? this->screen()->availableGeometry() : QRect(0, 0, 800, 600);
    QTableWidget* pupils = tables_[0];
    const int rowsHeight = pupils->verticalHeader()->defaultSectionSize() * 15 +
                           pupils->horizontalHeader()->sizeHint().height() +
                           2 * pupils->frameWidth();
    const int height = layout->sizeHint().height() - pupils->sizeHint().height() + rowsHeight;
    const QSize wanted(fontMetrics().averageCharWidth() * 120, height);
    resize(wanted.expandedTo(minimumSizeHint()).boundedTo(screen.size()));
}

int ScoreImportDialog::VisibleRows() const {
    QTableWidget* pupils = tables_[0];
    return pupils->viewport()->height() / pupils->verticalHeader()->defaultSectionSize();
}

void ScoreImportDialog::FillColumnBoxes() {
    filling_ = true;
    const QStringList labels = import_state_.ColumnLabels();
    const ScoreColumns& chosen = import_state_.Preview().columns;
    const int current[5] = {chosen.numberColumn, chosen.nameColumn, chosen.viewpoint[0],
                            chosen.viewpoint[1], chosen.viewpoint[2]};
    const bool readable =
        import_state_.Table().ok && (chosen.headerRow >= 0 || import_state_.Headerless());
    for (int i = 0; i < 5; ++i) {
        QComboBox* box = columnBoxes_[static_cast<size_t>(i)];
        box->clear();
        // A viewpoint no header named is asked for, never guessed.
        if (current[i] == kUnchosenColumn)
            box->addItem(u"（選んでください）"_s, kUnchosenColumn);
        box->addItem(u"（なし）"_s, -1);
        for (int c = 0; c < labels.size(); ++c)
            box->addItem(labels.at(c), c);
        box->setCurrentIndex(box->findData(current[i]));
        box->setEnabled(readable);
    }
    headerless_->setChecked(import_state_.Headerless());
    headerless_->setEnabled(import_state_.Table().ok);
    follows_->setCurrentIndex(static_cast<int>(import_state_.Follows()));
    filling_ = false;
}

void ScoreImportDialog::ColumnsChosen() {
    if (filling_)
        return;
    ScoreColumns columns;
    columns.numberColumn = columnBoxes_[0]->currentData().toInt();
    columns.nameColumn = columnBoxes_[1]->currentData().toInt();
    for (int v = 0; v < 3; ++v)
        columns.viewpoint[static_cast<size_t>(v)] =
            import_state_.Target().checked[static_cast<size_t>(v)]
                ? columnBoxes_[static_cast<size_t>(v + 2)]->currentData().toInt()
                : -1;
    import_state_.ChooseColumns(columns);
    FillColumnBoxes(); // a chosen column no longer offers （選んでください）
    ShowPreview();
}

void ScoreImportDialog::ShowPreview() {
    const ScorePreview& preview = import_state_.Preview();
    const ScoreImportTarget& target = import_state_.Target();
    const bool readable = import_state_.Table().ok && preview.ok;
    QStringList message{readable ? preview.Counts() : import_state_.Message()};
    if (readable && !preview.ByPosition().isEmpty())
        message.push_back(u"見出しに観点の名前がないため、位置で選んだ列: "_s +
                          preview.ByPosition());
    if (readable && !preview.Unchosen().isEmpty())
        message.push_back(u"見出しで見つからない観点「%1」の列を選んでください。"_s.arg(
            preview.Unchosen().join(u"」「"_s)));
    if (readable && preview.Conflicts() > 0)
        message.push_back(u"出席番号と氏名が名簿の別の生徒を指す行が %1 行あります。"
                          u"［番号と名前が違う行］で従う方を選ぶまで、その行は入力しません。"_s.arg(
                              preview.Conflicts()));
    message_->setText(message.join(u'\n'));
    const bool asks = preview.Conflicts() > 0 || import_state_.Follows() != RowFollows::Neither;
    followsLabel_->setVisible(asks);
    follows_->setVisible(asks);

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
