#pragma once

#include "model/fielddata/import.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Sheets of an .xlsx workbook as import tables. An .xlsx file is a ZIP
// package of XML parts (Office Open XML, ECMA-376 Part 1, §18): the workbook
// (xl/workbook.xml) lists the sheets and names each sheet's part through its
// relationships (xl/_rels/workbook.xml.rels); texts are kept once in the
// shared strings (xl/sharedStrings.xml, §18.4) or inline in the cell; a
// sheet's cells (§18.3.1.4) carry their column in their reference ("B3") and
// their kind in t ("s" shared string, "inlineStr", "str" a formula's text,
// "b" boolean, "e" error; none or "n" a number). The package is opened with
// libzip from memory and the parts are read with QXmlStreamReader.
//
// Cell texts are as stored (numbers as their shortest decimal text, e.g.
// "135" or "65.5"); a row's line is its row number in the sheet.

// The names of the workbook's sheets, in order. False (with the user's text
// in `error`) for anything that is not a readable workbook.
bool xlsxSheetNames(const QByteArray& bytes, QStringList& names, QString& error);

// The sheet at `index` (from 0) as a table. False (with `error`) when the
// file or the sheet cannot be read.
bool tableFromXlsx(const QByteArray& bytes, int index, ImportTable& table, QString& error);

// Limits against hostile files: a part larger than this (uncompressed) is
// refused, and so is a sheet with more cells.
namespace XlsxLimits {
constexpr qint64 MaxPartBytes = 256 * 1024 * 1024;
constexpr qint64 MaxCells = 4 * 1000 * 1000;
constexpr int MaxColumns = 16384;
} // namespace XlsxLimits
