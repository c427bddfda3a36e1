// The preview of a source file: its first page drawn by the engine's page
// renderer.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace rz::app {

// Page 1 of the PDF at `path`, as large as fits into `size` with its
// proportions kept, on white; a null image when the file does not open
// (with `password`, when given) or the size is empty.
QImage imageWithPreviewOfFileAtPath(const QString& path, const QSize& size, const std::string& password = {});

} // namespace rz::app
