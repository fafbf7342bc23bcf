#include "app/export_dialog.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "scene/mapping.h"

namespace hoopcast::app {

namespace {

struct FormatFilter {
    ExportFormat format;
    const char* filter;
    const char* extension;
};

constexpr FormatFilter kFilters[] = {
    {ExportFormat::Mp4, "MP4 video (*.mp4)", "mp4"},
    {ExportFormat::WebM, "WebM video (*.webm)", "webm"},
    {ExportFormat::Gif, "Animated GIF (*.gif)", "gif"},
    {ExportFormat::Png, "PNG picture of this sequence (*.png)", "png"},
};

constexpr double kMinScale = 0.1;
constexpr double kMaxScale = 10.0;

QString size_text(double scale) {
    const PictureSize size = frame_picture_size(scale);
    return QStringLiteral("%1 × %2").arg(size.width).arg(size.height);
}

}  // namespace

ExportChoice resolve_export_path(const QString& path, ExportFormat filter, double scale) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const FormatFilter& f : kFilters) {
        if (suffix == QLatin1String(f.extension)) return {path, f.format, scale};
    }
    for (const FormatFilter& f : kFilters) {
        if (f.format == filter) return {path + QLatin1Char('.') + QLatin1String(f.extension), filter, scale};
    }
    return {path, filter, scale};
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
    dialog.setDefaultSuffix(QLatin1String(kFilters[0].extension));
    QObject::connect(&dialog, &QFileDialog::filterSelected, [&dialog, filters](const QString& filter) {
        const auto i = filters.indexOf(filter);
        if (i >= 0) dialog.setDefaultSuffix(QLatin1String(kFilters[static_cast<std::size_t>(i)].extension));
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
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        auto* row = new QHBoxLayout;
        row->addWidget(sizes, 1);
        row->addWidget(scale);
        const int at = grid->rowCount();
        grid->addWidget(new QLabel(QStringLiteral("Size:"), &dialog), at, 0);
        grid->addLayout(row, at, 1);
    }

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const auto filter =
        static_cast<std::size_t>(std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter())));
    const double chosen_scale = scale->isEnabled() ? scale->value() : sizes->currentData().toDouble();
    return resolve_export_path(dialog.selectedFiles().first(), kFilters[filter].format, chosen_scale);
}

}  // namespace hoopcast::app
