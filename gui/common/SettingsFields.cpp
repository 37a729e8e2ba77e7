#include "gui/common/SettingsFields.h"

#include <QLineEdit>
#include <QPalette>
#include <cmath>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "core/platform/Text.h"
#include "gui/common/Prompter.h"
#include "render/DataGraphPicture.h"

bool ParseNumber(const QString& text, double& value) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) return false;
    value = v;
    return true;
}

QString NumberText(double value) { return QString::fromStdString(platform::FormatG(value)); }

namespace {
void Refuse(QWidget* dialog, QLineEdit* edit, const std::string& text) {
    ShowMessageText(dialog, text, Prompter::Icon::Warning);
    edit->setFocus();
    edit->selectAll();
}
}  // namespace

bool ExchangeNumber(QWidget* dialog, QLineEdit* edit, float& value) {
    double v = 0;
    // A value a float cannot hold is no number of this field either.
    if (!ParseNumber(edit->text(), v) || std::fabs(v) > 3.4e38) {
        Refuse(dialog, edit, platform::LoadString(ids::kEnterNumber));
        return false;
    }
    value = static_cast<float>(v);
    return true;
}

bool ExchangeNumberInRange(QWidget* dialog, QLineEdit* edit, double min, double max, float& value) {
    double v = 0;
    if (!ParseNumber(edit->text(), v)) {
        Refuse(dialog, edit, platform::LoadString(ids::kEnterNumber));
        return false;
    }
    if (v < min || v > max) {
        Refuse(dialog, edit, FormatText(platform::LoadString(ids::kEnterNumberInRange),
                                        {platform::FormatG(min), platform::FormatG(max)}));
        return false;
    }
    value = static_cast<float>(v);
    return true;
}

void MakeReadOnlyField(QLineEdit* edit) {
    edit->setReadOnly(true);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
}
