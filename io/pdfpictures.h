#pragma once

// The last step of a PDF export that painted its pictures as placeholders (PdfPictureScope):
// each placeholder's image object is replaced by the picture's PNG data, which the PDF's Flate
// filter with the PNG predictor reads as it is, so the pictures go in without being decoded or
// compressed again.

#include <QByteArray>

class PdfPictureScope;

namespace PdfPictures {

// Rewrites a PDF as the toolkit's PDF engine writes it (classic cross-reference table, each image
// a stream object of its own) with every placeholder of the scope replaced by its picture, and
// the cross-reference table and its offset written anew. False, with pdf unchanged, when the
// document is not laid out as expected or a placeholder the scope painted is not found.
bool insertPictures(QByteArray &pdf, const PdfPictureScope &scope);

} // namespace PdfPictures
