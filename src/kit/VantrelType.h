#pragma once

#include <QFont>

namespace vantrel {

// The type scale of the whole interface: eight fixed fonts of the one sans family the project
// installs (Inter), sized in device-independent pixels.
namespace VantrelType {

// The family every font of the scale uses.
QString family();

// A font of the family at `pixelSize` (fractional sizes kept) and `weight`.
QFont font(double pixelSize, QFont::Weight weight);
// The monospaced design: a font of the one monospaced family the project installs (JetBrains
// Mono), drawn to sit beside the sans family, at `pixelSize` and `weight`.
QString monospacedFamily();
QFont monospaced(double pixelSize, QFont::Weight weight);
// The font's size in device-independent pixels.
double pixelSize(const QFont& font);

const QFont& overline();     // 9, bold
const QFont& pageTitle();    // 38, heavy
const QFont& sectionTitle(); // 15, bold
const QFont& subtitle();     // 14, regular
const QFont& body();         // 12.5, regular
const QFont& label();        // 12, semibold
const QFont& caption();      // 10.5, regular
const QFont& button();       // 12.5, bold

} // namespace VantrelType

} // namespace vantrel
