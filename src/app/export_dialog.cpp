#include "app/export_dialog.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <cmath>

#include "scene/mapping.h"

namespace hoopcast::app {

namespace {

// The file types offered, the first chosen at the start; each takes its extension from the
// export's own table.
struct FormatFilter {
    ExportFormat format;
    const char* filter;
};

constexpr FormatFilter kFilters[] = {
    {ExportFormat::Mp4, "MP4 video (*.mp4)"},    {ExportFormat::WebM, "WebM video (*.webm)"},
    {ExportFormat::Gif, "Animated GIF (*.gif)"}, {ExportFormat::Png, "PNG picture of this sequence (*.png)"},
    {ExportFormat::Html, "Web page (*.html)"},
};

QString extension(ExportFormat format) {
    const std::string_view name = export_format_name(format);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

constexpr double kSecondsPerMs = 0.001;
constexpr double kMinScale = 0.1;
constexpr double kMaxScale = 10.0;

bool plays_through(ExportFormat format) {
    for (const ExportFormatName& f : kExportFormats) {
        if (f.format == format) return f.whole_play;
    }
    return false;
}

// A web page draws the court at its reader's screen's size and plays as its reader sets it.
bool drawn_here(ExportFormat format) {
    return format != ExportFormat::Html;
}

QString size_text(double scale) {
    const PictureSize size = frame_picture_size(scale);
    return QStringLiteral("%1 × %2").arg(size.width).arg(size.height);
}

}  // namespace

ExportChoice resolve_export_path(const QString& path, ExportFormat filter, double scale) {
    if (const auto typed = export_format_named(QFileInfo(path).suffix().toStdString())) {
        return {path, *typed, scale};
    }
    return {path + QLatin1Char('.') + extension(filter), filter, scale};
}

std::optional<ExportChoice> choose_export(QWidget* parent, const QString& suggested,
                                          double presentation_scale) {
    QFileDialog dialog(parent, QStringLiteral("Export"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Qt's own dialog, as it takes the size row below the file type.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QStringList filters;
    for (const FormatFilter& f : kFilters) filters << QString::fromLatin1(f.filter);
    dialog.setNameFilters(filters);
    // A name typed without an extension takes the chosen type's, and is asked about before
    // it replaces a file, as a typed one is.
    dialog.setDefaultSuffix(extension(kFilters[0].format));
    QObject::connect(&dialog, &QFileDialog::filterSelected, [&dialog, filters](const QString& filter) {
        const auto i = filters.indexOf(filter);
        if (i >= 0) dialog.setDefaultSuffix(extension(kFilters[static_cast<std::size_t>(i)].format));
    });
    if (!suggested.isEmpty()) {
        dialog.setDirectory(QFileInfo(suggested).absolutePath());
        dialog.selectFile(QFileInfo(suggested).completeBaseName());
    }

    auto* sizes = new QComboBox(&dialog);
    sizes->addItem(QStringLiteral("Normal court (%1)").arg(size_text(1.0)), 1.0);
    sizes->addItem(QStringLiteral("Presentation size (%1)").arg(size_text(presentation_scale)),
                   presentation_scale);
    sizes->addItem(QStringLiteral("Scale"));
    auto* scale = new QDoubleSpinBox(&dialog);
    scale->setRange(kMinScale, kMaxScale);
    scale->setDecimals(2);
    scale->setSingleStep(0.1);
    scale->setValue(2.0);
    scale->setEnabled(false);
    QObject::connect(sizes, &QComboBox::currentIndexChanged,
                     [sizes, scale](int index) { scale->setEnabled(index == sizes->count() - 1); });
    // Seconds, as a coach thinks of them; the play's own timing is in milliseconds.
    const auto hold = [&dialog](const char* name, int ms) {
        auto* box = new QDoubleSpinBox(&dialog);
        box->setObjectName(QLatin1String(name));
        box->setRange(0, kMaxHoldMs * kSecondsPerMs);
        box->setDecimals(1);
        box->setSingleStep(0.5);
        box->setSuffix(QStringLiteral(" s"));
        box->setValue(ms * kSecondsPerMs);
        return box;
    };
    auto* hold_start = hold("hold_start", kDefaultHoldStartMs);
    auto* hold_end = hold("hold_end", kDefaultHoldEndMs);
    // Only a play played through holds its pictures.
    QObject::connect(&dialog, &QFileDialog::filterSelected, [=](const QString& filter) {
        const auto i = filters.indexOf(filter);
        const ExportFormat format = i < 0 ? kFilters[0].format : kFilters[static_cast<std::size_t>(i)].format;
        const bool holds = plays_through(format) && drawn_here(format);
        hold_start->setEnabled(holds);
        hold_end->setEnabled(holds);
        sizes->setEnabled(drawn_here(format));
        scale->setEnabled(drawn_here(format) && sizes->currentIndex() == sizes->count() - 1);
    });
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        auto* row = new QHBoxLayout;
        row->addWidget(sizes, 1);
        row->addWidget(scale);
        int at = grid->rowCount();
        grid->addWidget(new QLabel(QStringLiteral("Size:"), &dialog), at, 0);
        grid->addLayout(row, at, 1);
        auto* holds = new QHBoxLayout;
        holds->addWidget(new QLabel(QStringLiteral("at the start"), &dialog));
        holds->addWidget(hold_start);
        holds->addSpacing(12);
        holds->addWidget(new QLabel(QStringLiteral("at the end"), &dialog));
        holds->addWidget(hold_end);
        holds->addStretch(1);
        at = grid->rowCount();
        grid->addWidget(new QLabel(QStringLiteral("Hold:"), &dialog), at, 0);
        grid->addLayout(holds, at, 1);
    }

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const auto filter =
        static_cast<std::size_t>(std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter())));
    const double chosen_scale = scale->isEnabled()               ? scale->value()
                                : sizes->currentData().isValid() ? sizes->currentData().toDouble()
                                                                 : 1.0;
    ExportChoice choice =
        resolve_export_path(dialog.selectedFiles().first(), kFilters[filter].format, chosen_scale);
    choice.hold_start_ms = static_cast<int>(std::lround(hold_start->value() / kSecondsPerMs));
    choice.hold_end_ms = static_cast<int>(std::lround(hold_end->value() / kSecondsPerMs));
    return choice;
}

}  // namespace hoopcast::app
