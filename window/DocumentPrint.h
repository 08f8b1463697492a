#pragma once

#include "rules/PrintDocument.h"

#include <QString>

#include <memory>
#include <optional>

class FileDialogs;
class Messages;
class QTextDocument;
class QWidget;

// A print document on paper or as PDF: its title, the line under it and its
// tables, whose heading rows repeat on every page; pages are numbered.
std::unique_ptr<QTextDocument> layOutDocument(const PrintDocument& document);

// Writes the document as a PDF file, whole or not at all (an existing file
// keeps its bytes when the write fails). The error text when it failed.
std::optional<QString> writePdf(const PrintDocument& document, const QString& path);

// Print...: the preview of the pages, from which they are printed.
void printDocument(const PrintDocument& document, QWidget* parent);

// Export PDF...: asks where, proposing `proposedName` (its suffix made
// ".pdf") in `directory`, writes the file and says when it could not.
void exportDocumentPdf(const PrintDocument& document, FileDialogs& fileDialogs, Messages& messages,
                       const QString& directory, const QString& proposedName);
