// What the unit holds: the configuration as of the last passed verification, the fields in which the
// PC's image differs from it (the status bar says so), the fields of a block that failed to verify,
// and the restore points that every passed Read and Program leave behind.

#include <QDir>
#include <QLabel>
#include <QStatusBar>
#include <algorithm>
#include <ctime>

#include "app/window/tform_hlav.h"
#include "files/field_differences.h"
#include "files/parameter_file.h"
#include "files/restore_points.h"
#include "image/catalogue.h"
#include "image/fields.h"
#include "settings/platform_paths.h"
#include "text/tool_texts.h"

namespace torvane {
namespace {

constexpr int TipFieldLimit = 40;  // the tool tip lists this many fields, then "..."

QString FromUtf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString TextOf(ToolText text, int languageIndex) {
    return FromUtf8(ToolTextOf(text, languageIndex));
}

QString ListOf(const std::vector<FieldDifference>& differences, int limit) {
    QStringList lines;
    for (const FieldDifference& d : differences) {
        if (static_cast<int>(lines.size()) == limit) {
            lines << QStringLiteral("...");
            break;
        }
        lines << FromUtf8(FormatDifference(d));
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

QString TFormHlav::restoreFolder() const {
    const QString base = options_.settingsDirectory.isEmpty() ? QString::fromStdString(SettingsDirectory())
                                                              : options_.settingsDirectory;
    return base + QStringLiteral("/restore");
}

void TFormHlav::onVerificationPassed(VerifiedAfter after) {
    unitImage_ = image_;
    unitType_ = FieldValue(image_, Field(FieldId::Bike));
    verifyDifferences_.clear();
    if (after != VerifiedAfter::Verify) {
        StoreRestorePoint(restoreFolder().toStdString(), image_,
                          after == VerifiedAfter::Read ? RestoreKind::Read : RestoreKind::Program,
                          std::time(nullptr));
    }
    showNotInUnit();
}

void TFormHlav::onReadCompleted(std::span<const std::uint8_t> unitBlocks) {
    if (unitBlocks.size() == ImageSize - BlockSize) {
        unitImage_ = image_;
        std::copy(unitBlocks.begin(), unitBlocks.end(), unitImage_->bytes().begin() + BlockSize);
        unitType_ = FieldValue(*unitImage_, Field(FieldId::Bike));
    }
    editor_->TakeReadEntry();
    showNotInUnit();
}

void TFormHlav::onBlockProgrammed(int block) {
    if (block == static_cast<int>(Field(FieldId::Bike).index / BlockSize))
        unitType_ = FieldValue(image_, Field(FieldId::Bike));
    if (!unitImage_ || block < 1 || block >= BlockCount) return;
    std::ranges::copy(image_.block(block), unitImage_->block(block).begin());
    showNotInUnit();
}

std::optional<int> TFormHlav::unitMotorcycleType() {
    return unitType_;
}

bool TFormHlav::agreeToProgram(ProgramDoubt doubt) {
    std::size_t fields = notInUnit().size();
    // Nothing would reach the unit that it does not hold already.
    if (unitImage_ && fields == 0) return true;
    if (!unitImage_) {
        // What the unit holds is not known: every field of the blocks about to be sent counts.
        DeviceImage sent = image_;
        const auto& marked = blockChanged();
        for (int b = 1; b < BlockCount; ++b) {
            if (!marked[static_cast<std::size_t>(b)]) continue;
            for (std::uint8_t& byte : sent.block(b)) byte = static_cast<std::uint8_t>(~byte);
        }
        fields = DifferingFields(image_, sent).size();
    }
    const int code = FieldValue(image_, Field(FieldId::Bike));
    const QString type = IsMotorcycleCode(code)
                             ? FromUtf8(std::string(ListTextOfItem(ItemOfCode(code)))).simplified()
                             : QString::number(code);
    const ToolText question = doubt == ProgramDoubt::BeforeRead ? ToolText::ProgramBeforeReadQuestion
                                                                : ToolText::ProgramOtherTypeQuestion;
    return prompts_->askYesNo(TextOf(question, languageIndex_).arg(type).arg(fields)) == PromptAnswer::Yes;
}

void TFormHlav::onVerificationFailed(int block, std::span<const std::uint8_t> unitBlock) {
    verifyDifferences_.clear();
    if (block < 1 || block >= BlockCount || unitBlock.size() != BlockSize) return;
    DeviceImage unit = image_;
    std::copy(unitBlock.begin(), unitBlock.end(), unit.block(block).begin());
    verifyDifferences_ = DifferingFields(image_, unit, block);
    // What the unit holds of that block is now known: the status bar counts it in.
    if (unitImage_) std::copy(unitBlock.begin(), unitBlock.end(), unitImage_->block(block).begin());
    if (block == static_cast<int>(Field(FieldId::Bike).index / BlockSize))
        unitType_ = unit.byteAt(Field(FieldId::Bike).index);
    showNotInUnit();
}

std::vector<FieldDifference> TFormHlav::notInUnit() const {
    if (!unitImage_) return {};
    return DifferingFields(image_, *unitImage_);
}

void TFormHlav::showNotInUnit() {
    if (LabelNotInUnit == nullptr) {
        LabelNotInUnit = new QLabel(this);
        LabelNotInUnit->setObjectName("LabelNotInUnit");
        statusBar()->addPermanentWidget(LabelNotInUnit);
    }
    const std::vector<FieldDifference> differences = notInUnit();
    if (differences.empty()) {
        LabelNotInUnit->setVisible(false);
        return;
    }
    LabelNotInUnit->setText(differences.size() == 1
                                ? TextOf(ToolText::NotInUnitOne, languageIndex_)
                                : TextOf(ToolText::NotInUnitMany, languageIndex_).arg(differences.size()));
    LabelNotInUnit->setToolTip(ListOf(differences, TipFieldLimit));
    LabelNotInUnit->setStyleSheet(
        QStringLiteral("QLabel { color: white; background: rgb(200,0,0); padding: 0 6px; }"));
    LabelNotInUnit->setVisible(true);
}

void TFormHlav::MenuUnitDifferencesClick() {
    if (!verifyDifferences_.empty()) {
        prompts_->showDetails(TextOf(ToolText::VerifyDifferencesTitle, languageIndex_),
                              ListOf(verifyDifferences_, -1));
        return;
    }
    if (!unitImage_) {
        prompts_->showMessage(TextOf(ToolText::UnitNotKnown, languageIndex_));
        return;
    }
    const std::vector<FieldDifference> differences = notInUnit();
    if (differences.empty()) {
        prompts_->showMessage(TextOf(ToolText::UnitHoldsPcImage, languageIndex_));
        return;
    }
    prompts_->showDetails(TextOf(ToolText::NotInUnitTitle, languageIndex_), ListOf(differences, -1));
}

void TFormHlav::MenuRestorePointsClick() {
    const std::vector<RestorePoint> points = ListRestorePoints(restoreFolder().toStdString());
    if (points.empty()) {
        prompts_->showMessage(TextOf(ToolText::NoRestorePoints, languageIndex_));
        return;
    }
    // The kind column is as wide as its longer word in this language, so the type names line up.
    const QString read = TextOf(ToolText::RestoreKindRead, languageIndex_);
    const QString program = TextOf(ToolText::RestoreKindProgram, languageIndex_);
    const auto kindWidth = std::max(read.size(), program.size());
    QStringList rows;
    for (const RestorePoint& p : points) {
        DeviceImage stored = image_;
        QString type = QStringLiteral("?");
        int differing = -1;
        if (LoadParameterFile(p.path.string(), stored) == FileResult::Ok) {
            const int code = FieldValue(stored, Field(FieldId::Bike));
            if (IsMotorcycleCode(code))
                type = QString::fromUtf8(std::string(ListTextOfItem(ItemOfCode(code))).c_str());
            differing = static_cast<int>(DifferingFields(image_, stored).size());
        }
        rows << QStringLiteral("%1  %2  %3  %4")
                    .arg(FromUtf8(p.stamp))
                    .arg((p.kind == RestoreKind::Read ? read : program).leftJustified(kindWidth))
                    .arg(type.leftJustified(36))
                    .arg(differing < 0 ? TextOf(ToolText::RestoreUnreadable, languageIndex_)
                         : differing == 1
                             ? TextOf(ToolText::RestoreOneFieldDiffers, languageIndex_)
                             : TextOf(ToolText::RestoreFieldsDiffer, languageIndex_).arg(differing));
    }
    const int chosen = prompts_->chooseFromList(TextOf(ToolText::RestorePointsTitle, languageIndex_), rows);
    if (chosen < 0 || chosen >= static_cast<int>(points.size())) return;
    openFileAt(QString::fromStdString(points[static_cast<std::size_t>(chosen)].path.string()), false);
}

}  // namespace torvane
