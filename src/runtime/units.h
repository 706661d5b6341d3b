// Numbered-unit text output: whole lines (records) written to a unit number.
// Unit 6 is standard output through C stdio, so the library's lines and the
// host's own output keep their order; unit 0 is standard error. Any other
// unit appends to the file fort.<n> in the working directory, opened on first
// use. If that file cannot be opened the record goes to standard error after
// a one-line note naming the unit, so no record is lost.
#ifndef CXFUN_RUNTIME_UNITS_H
#define CXFUN_RUNTIME_UNITS_H

namespace cxfun {

// Writes text[0 .. length-1] and a line end as one record to the unit.
// A length of 0 or less writes an empty record.
void write_record(int unit, const char* text, int length);

// Pushes every unit's buffered records to its file or stream.
void flush_units();

}  // namespace cxfun

#endif
