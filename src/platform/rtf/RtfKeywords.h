#pragma once

#include <string_view>

// The RTF control words the reader acts on. Any other word is ignored.
namespace rtf {

// A table, kept in its lines: the formatter would run it together.
// clang-format off
#define RTF_KEYWORDS(X)                                                                  \
    /* document */                                                                       \
    X(rtf) X(ansi) X(mac) X(pc) X(pca) X(ansicpg) X(deff) X(uc) X(u)                     \
    /* destinations read */                                                              \
    X(fonttbl) X(colortbl) X(field) X(fldinst) X(fldrslt) X(pict) X(shppict) X(pntext)   \
    X(listtext) X(pn) X(upr) X(ud) X(nesttableprops)                                     \
    /* destinations skipped */                                                           \
    X(stylesheet) X(info) X(header) X(headerl) X(headerr) X(headerf) X(footer)           \
    X(footerl) X(footerr) X(footerf) X(footnote) X(annotation) X(atnid) X(atnauthor)     \
    X(pnseclvl) X(pntxta) X(pntxtb) X(nonshppict) X(shp) X(shprslt) X(shpinst)           \
    X(objdata) X(objclass) X(xe) X(tc) X(txe) X(rxe) X(listtable)            \
    X(listoverridetable) X(revtbl) X(rsidtbl) X(xmlnstbl) X(pgdsctbl) X(ftnsep)          \
    X(ftnsepc) X(aftnsep) X(aftnsepc) X(bkmkstart) X(bkmkend) X(themedata)               \
    X(colorschememapping) X(datastore) X(latentstyles) X(generator) X(falt) X(panose)    \
    X(nonesttables)                                                                      \
    /* font and colour tables */                                                         \
    X(f) X(fcharset) X(cpg) X(red) X(green) X(blue)                                      \
    /* characters */                                                                     \
    X(par) X(sect) X(page) X(line) X(tab) X(cell) X(nestcell) X(row) X(nestrow)          \
    X(emdash) X(endash) X(bullet) X(lquote) X(rquote) X(ldblquote) X(rdblquote)         \
    X(emspace) X(enspace) X(qmspace) X(zwj) X(zwnj) X(ltrmark) X(rtlmark)               \
    /* character formats */                                                              \
    X(plain) X(b) X(i) X(ul) X(ulw) X(uld) X(uldb) X(uldash) X(uldashd) X(uldashdd)      \
    X(ulth) X(ulthd) X(ulthdash) X(ulwave) X(ulhwave) X(ululdbwave) X(ulldash) X(ulnone) \
    X(strike) X(striked) X(fs) X(cf) X(cb) X(highlight) X(super) X(sub) X(nosupersub)    \
    X(up) X(dn) X(v)                                                                     \
    /* paragraph formats */                                                              \
    X(pard) X(ql) X(qr) X(qc) X(qj) X(qd) X(li) X(lin) X(ri) X(rin) X(fi) X(sb) X(sa)    \
    X(sl) X(slmult) X(tx) X(tb) X(tqr) X(tqc) X(tqdec) X(ls) X(intbl)                    \
    /* numbering definitions (\pn) */                                                    \
    X(pnlvlblt) X(pnlvlbody) X(pnlvlcont) X(pndec) X(pnucltr) X(pnlcltr) X(pnucrm)       \
    X(pnlcrm)                                                                            \
    /* pictures */                                                                       \
    X(pngblip) X(jpegblip) X(picwgoal) X(pichgoal) X(picscalex)          \
    X(picscaley)
// clang-format on

enum class Keyword {
    Unknown,
#define RTF_KEYWORD_ENUM(name) name,
    RTF_KEYWORDS(RTF_KEYWORD_ENUM)
#undef RTF_KEYWORD_ENUM
};

Keyword keywordOf(std::string_view name);

} // namespace rtf
