#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Turns the manual's plain-text source into a Windows-1251 RTF document that word processors
// open. The source, UTF-8:
//   "# Title"            the document's title; "## Chapter", "### Section" headings
//   text lines           a paragraph, up to the next blank line
//   "- item"             a bulleted item; "1. item" a numbered one (the number as written);
//                        indented lines continue the item
//   "> text"             a note
//   "**words**"          bold, inside any text
//   "![caption](file)"   a PNG picture on a line of its own, its caption below it; readImage
//                        gives the file's bytes (a path relative to the source)
// The chapters are listed under "Содержание" after the title. Throws QorError naming the line
// of a character that Windows-1251 cannot hold, or of a picture that is no PNG.
QByteArray ManualToRtf(const QString &source,
                       const std::function<QByteArray(const QString &file)> &readImage = {});
