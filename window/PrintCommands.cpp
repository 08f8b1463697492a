#include "window/Unit1.h"

#include "window/DocumentPrint.h"
#include "window/ImageDocument.h"
#include "window/QtText.h"

#include <QFileInfo>

namespace {

// Named after the file Save writes.
QString documentTitle(const QString& saveFileName) {
    const QString name = QFileInfo(saveFileName).fileName();
    return name.isEmpty() ? QStringLiteral("PX520 configuration") : name;
}

} // namespace

// The value being typed is stored first, so the pages show what the fields
// show.
void TForm1::Print1Click() {
    if (endEntryForTransfer()) {
        printDocument(configurationDocument(document->image(),
                                            documentTitle(document->saveFileName()).toStdString()),
                      this);
    }
}

void TForm1::ExportPdf1Click() {
    if (endEntryForTransfer()) {
        exportDocumentPdf(
            configurationDocument(document->image(),
                                  documentTitle(document->saveFileName()).toStdString()),
            fileDialogs, messages, startDirectory, document->saveFileName());
    }
}
