// System variables (acedGetVar / acedSetVar). Drawing variables are read from and written to the
// working database; the others belong to the host.
//
//   name        type       where      note
//   LUNITS      RTSHORT    drawing    1 to 5
//   LUPREC      RTSHORT    drawing    0 to 8
//   INSUNITS    RTSHORT    drawing    0 to 24
//   SORTENTS    RTSHORT    drawing    0 to 127 (flags)
//   TEXTSIZE    RTREAL     drawing    above 0
//   CLAYER      RTSTR      drawing    an existing layer that is not frozen
//   CTAB        RTSTR      drawing    the current layout, by name (the document locked)
//   TILEMODE    RTSHORT    drawing    0 or 1
//   HPMAXLINES  RTLONG     drawing    100 to 10 000 000
//   UCSORG, UCSXDIR, UCSYDIR  RT3DPOINT  drawing  read only (acedSetCurrentUCS sets them)
//   DWGNAME     RTSTR      document   read only: the file name
//   DWGPREFIX   RTSTR      document   read only: the folder, ending with a backslash
//   PRODUCT     RTSTR      host       read only
//   CMDECHO, FILEDIA, ATTREQ, ATTDIA  RTSHORT  host  0 or 1
// Names are not case sensitive. Numbers may be given as RTSHORT, RTLONG or RTREAL. An unknown
// name, a value out of range, a read-only variable or a missing document give RTERROR and
// change nothing.
#pragma once

#include "../db/ResBuf.h"

// Fills `value` (its string, if any, is the caller's to free with acutDelString).
int acedGetVar(const ACHAR* name, resbuf* value);
int acedSetVar(const ACHAR* name, const resbuf* value);
