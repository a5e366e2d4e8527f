#include "criteriaeditor.h"

#include "model/numbers.h"
#include "output/graph.h"
#include "output/graphpage.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace kirune {

namespace {

QString ShareRangeMessage() {
    return u"割合は 0 から 100 までの数で入力してください。"_s;
}

} // namespace

QString ShareNumberText(double value) {
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
        return NumberText(static_cast<long long>(value));
    QString text = QString::number(value, 'g', 15);
    if (!(value < 0))
        text.prepend(u' ');
    return text;
}

CriteriaEditor::CriteriaEditor(GradeBook& book_, Session& session_, Platform& platform_,
                               MainFormHooks& main_, int period_, int subject_)
    : book(book_), session(session_), platform(platform_), main(main_),
      period(std::clamp(period_, 0, kCriteriaPeriods - 1)),
      subject(std::clamp(subject_, 0, kSubjects - 1)) {}

QString CriteriaEditor::SumOver100Message(int viewpoint) const {
    return u"観点「%1」の A と C の割合の和が 100 を超えています。"_s.arg(
        book.SubjectTitles[subject][1 + std::clamp(viewpoint, 0, 2)]);
}

int CriteriaEditor::GraphSlot(int viewpoint) const {
    return period == 3 ? YearAggregateSlot(subject, viewpoint)
                       : SemesterAggregateSlot(period, subject, viewpoint);
}

int16_t CriteriaEditor::StoredA(int viewpoint) const {
    return book.RankAPercent[period][CriteriaIndex(subject, viewpoint)];
}

int16_t CriteriaEditor::StoredC(int viewpoint) const {
    return book.RankCPercent[period][CriteriaIndex(subject, viewpoint)];
}

QString& CriteriaEditor::Box(int viewpoint, ShareRole role) {
    ShareFrame& frame = frames[std::clamp(viewpoint, 0, 2)];
    return role == ShareRole::A ? frame.aText : frame.cText;
}

const QString& CriteriaEditor::BoxText(int viewpoint, ShareRole role) const {
    const ShareFrame& frame = frames[std::clamp(viewpoint, 0, 2)];
    return role == ShareRole::A ? frame.aText : frame.cText;
}

void CriteriaEditor::SetBoxText(int viewpoint, ShareRole role, const QString& text) {
    ChangeBox(viewpoint, role, text, true);
}

void CriteriaEditor::ChangeBox(int viewpoint, ShareRole role, const QString& text, bool keep) {
    if (viewpoint < 0 || viewpoint > 2)
        return;
    QString& box = Box(viewpoint, role);
    if (box == text)
        return;
    box = text;
    if (OnBoxChange(viewpoint, role) && keep)
        KeepFrame(viewpoint);
    Notify();
}

void CriteriaEditor::Text_Change(int textNumber, const QString& text) {
    const auto [viewpoint, role] = BoxOfControl(textNumber);
    ChangeBox(viewpoint, role, text, false);
}

void CriteriaEditor::Text_EditingFinished(int textNumber) {
    const auto [viewpoint, role] = BoxOfControl(textNumber);
    // The window may report the end of editing while a refused text is still in the box (the
    // message takes the focus): only a text that passes is kept.
    if (PairPasses(viewpoint, role))
        KeptText(viewpoint, role) = BoxText(viewpoint, role);
}

void CriteriaEditor::StepBox(int viewpoint, ShareRole role, int delta) {
    if (viewpoint < 0 || viewpoint > 2)
        return;
    const double value = LeadingNumber(BoxText(viewpoint, role));
    const int current = std::isfinite(value) ? static_cast<int>(std::clamp(value, 0.0, 99.0)) : 0;
    const int next = std::clamp(current + delta, 0, 99);
    // A step refused gives back the share the box showed before it.
    KeepFrame(viewpoint);
    SetBoxText(viewpoint, role, QString::number(next));
}

QString& CriteriaEditor::KeptText(int viewpoint, ShareRole role) {
    return kept_[std::clamp(viewpoint, 0, 2)][role == ShareRole::A ? 0 : 1];
}

void CriteriaEditor::KeepFrame(int viewpoint) {
    // Both boxes: the pair as it stands passes, whichever box was being typed in.
    for (const ShareRole role : {ShareRole::A, ShareRole::C})
        KeptText(viewpoint, role) = BoxText(viewpoint, role);
}

bool CriteriaEditor::PairPasses(int viewpoint, ShareRole role) const {
    const ShareFrame& frame = frames[std::clamp(viewpoint, 0, 2)];
    const double a = LeadingNumber(frame.aText);
    const double c = LeadingNumber(frame.cText);
    // A share the grade book cannot hold (beyond a 16-bit value) is refused like a pair above
    // 100 %, so that what the graph shows is what registration would store.
    int16_t edited = 0;
    return 100.0 - a - c >= 0 && TryRoundToInt16(role == ShareRole::A ? a : c, &edited);
}

bool CriteriaEditor::OnBoxChange(int viewpoint, ShareRole role) {
    const ShareFrame& frame = frames[viewpoint];
    const double a = LeadingNumber(frame.aText);
    const double c = LeadingNumber(frame.cText);
    if (PairPasses(viewpoint, role)) {
        frames[viewpoint].bLabel = ShareNumberText(100.0 - a - c);
        DrawGraph(viewpoint, RoundHalfEvenInt16(a), RoundHalfEvenInt16(c));
        return true;
    }
    int16_t edited = 0;
    const bool fits = TryRoundToInt16(role == ShareRole::A ? a : c, &edited);
    platform.ShowMessage(fits ? SumOver100Message(viewpoint) : ShareRangeMessage());
    // The box gets back the share it held before this entry (an emptied box would be stored
    // as 0), which raises its change event again. Should even that be refused, it is emptied.
    const QString kept = KeptText(viewpoint, role);
    SetBoxText(viewpoint, role, kept == BoxText(viewpoint, role) ? QString() : kept);
    return false;
}

void CriteriaEditor::DrawGraph(int viewpoint, int16_t aShare, int16_t cShare) {
    if (!paint)
        return;
    paint([&](Canvas& canvas) {
        // The earlier picture goes first: drawn over, texts smear and old labels show through.
        EraseDistributionGraph(canvas, kGraphX, GraphY(viewpoint));
        DrawDistributionGraph(canvas, book, GraphSlot(viewpoint), kGraphX, GraphY(viewpoint),
                              aShare, cShare, subject, viewpoint);
    });
}

void CriteriaEditor::ShowBShares() {
    for (auto& frame : frames) {
        const double b = 100.0 - LeadingNumber(frame.aText) - LeadingNumber(frame.cText);
        if (b >= 0)
            frame.bLabel = ShareNumberText(b);
    }
    Notify();
}

void CriteriaEditor::DrawStoredGraphs() {
    for (int k = 0; k < kViewpoints; ++k)
        DrawGraph(k, StoredA(k), StoredC(k));
}

bool CriteriaEditor::CheckPairs() {
    for (const auto& frame : frames) {
        if (100.0 - LeadingNumber(frame.aText) - LeadingNumber(frame.cText) < 0) {
            platform.ShowMessage(u"100%を超えています"_s);
            return false;
        }
    }
    return true;
}

bool CriteriaEditor::CheckShareValues() {
    for (int k = 0; k < kViewpoints; ++k) {
        for (const ShareRole role : {ShareRole::A, ShareRole::C}) {
            if (!BoxText(k, role).trimmed().isEmpty())
                continue;
            platform.ShowMessage(u"観点「%1」の %2 の割合を入力してください。"_s.arg(
                book.SubjectTitles[subject][1 + k],
                role == ShareRole::A ? QStringLiteral("A") : QStringLiteral("C")));
            if (focusBox)
                focusBox(k, role);
            return false;
        }
    }
    for (const auto& frame : frames) {
        int16_t value = 0;
        const double a = LeadingNumber(frame.aText);
        const double c = LeadingNumber(frame.cText);
        if (!TryRoundToInt16(a, &value) || !TryRoundToInt16(c, &value) || !(100.0 - a - c >= 0)) {
            platform.ShowMessage(ShareRangeMessage());
            return false;
        }
    }
    return true;
}

void CriteriaEditor::StoreShare(int viewpoint, ShareRole role) {
    const int16_t value = RoundHalfEvenInt16(LeadingNumber(BoxText(viewpoint, role)));
    auto& table = role == ShareRole::A ? book.RankAPercent : book.RankCPercent;
    table[period][CriteriaIndex(subject, viewpoint)] = value;
}

bool CriteriaEditor::BoxesDifferFromStored() const {
    for (int k = 0; k < kViewpoints; ++k) {
        int16_t a = 0, c = 0;
        if (!TryRoundToInt16(LeadingNumber(frames[k].aText), &a) ||
            !TryRoundToInt16(LeadingNumber(frames[k].cText), &c) || a != StoredA(k) ||
            c != StoredC(k))
            return true;
    }
    return false;
}

void CriteriaEditor::Command3_Click() {
    // The page shows the registered shares; the teacher is told when the boxes show others.
    if (BoxesDifferFromStored() &&
        !AskOk(platform, u"登録されている評定基準でグラフを印刷します。画面"
                         u"の値で印刷するには、先に登録してください。"_s))
        return;
    PrintGraphPage(platform, book, subject, period == 3 ? kWholeYear : period, session.FileName);
}

bool CriteriaEditor::HasUnregisteredChanges() const {
    if (closed_)
        return false;
    for (int k = 0; k < kViewpoints; ++k)
        if (frames[k].aText.trimmed() != NumberText(StoredA(k)).trimmed() ||
            frames[k].cText.trimmed() != NumberText(StoredC(k)).trimmed())
            return true;
    return false;
}

bool CriteriaEditor::Command2_Click() {
    if (closed_)
        return true;
    if (HasUnregisteredChanges() && !AskYes(platform, DiscardQuestion(), true))
        return false; // back to the editor, everything as it was
    Close();
    return true;
}

bool CriteriaEditor::Form_Unload() {
    return closed_ || Command2_Click();
}

void CriteriaEditor::Close() {
    if (closed_)
        return;
    closed_ = true;
    main.EnableMainWindow();
    if (closeWindow)
        closeWindow();
}

} // namespace kirune
