// SPDX-License-Identifier: GPL-3.0-or-later
#include "HtmlEntities.h"

#include <QHash>

using namespace Qt::StringLiterals;

char32_t HtmlEntityCodePoint(const QString &name)
{
    // The character entities of HTML 4 and XHTML's &apos;, which is what
    // pages written by hand and by tools use; later additions stay as
    // written, as browsers show unknown names.
    static const QHash<QString, char32_t> entities = {
        {u"AElig"_s, 0xC6}, {u"Aacute"_s, 0xC1}, {u"Acirc"_s, 0xC2}, {u"Agrave"_s, 0xC0},
        {u"Alpha"_s, 0x391}, {u"Aring"_s, 0xC5}, {u"Atilde"_s, 0xC3}, {u"Auml"_s, 0xC4},
        {u"Beta"_s, 0x392}, {u"Ccedil"_s, 0xC7}, {u"Chi"_s, 0x3A7}, {u"Dagger"_s, 0x2021},
        {u"Delta"_s, 0x394}, {u"ETH"_s, 0xD0}, {u"Eacute"_s, 0xC9}, {u"Ecirc"_s, 0xCA},
        {u"Egrave"_s, 0xC8}, {u"Epsilon"_s, 0x395}, {u"Eta"_s, 0x397}, {u"Euml"_s, 0xCB},
        {u"Gamma"_s, 0x393}, {u"Iacute"_s, 0xCD}, {u"Icirc"_s, 0xCE}, {u"Igrave"_s, 0xCC},
        {u"Iota"_s, 0x399}, {u"Iuml"_s, 0xCF}, {u"Kappa"_s, 0x39A}, {u"Lambda"_s, 0x39B},
        {u"Mu"_s, 0x39C}, {u"Ntilde"_s, 0xD1}, {u"Nu"_s, 0x39D}, {u"OElig"_s, 0x152},
        {u"Oacute"_s, 0xD3}, {u"Ocirc"_s, 0xD4}, {u"Ograve"_s, 0xD2}, {u"Omega"_s, 0x3A9},
        {u"Omicron"_s, 0x39F}, {u"Oslash"_s, 0xD8}, {u"Otilde"_s, 0xD5}, {u"Ouml"_s, 0xD6},
        {u"Phi"_s, 0x3A6}, {u"Pi"_s, 0x3A0}, {u"Prime"_s, 0x2033}, {u"Psi"_s, 0x3A8},
        {u"Rho"_s, 0x3A1}, {u"Scaron"_s, 0x160}, {u"Sigma"_s, 0x3A3}, {u"THORN"_s, 0xDE},
        {u"Tau"_s, 0x3A4}, {u"Theta"_s, 0x398}, {u"Uacute"_s, 0xDA}, {u"Ucirc"_s, 0xDB},
        {u"Ugrave"_s, 0xD9}, {u"Upsilon"_s, 0x3A5}, {u"Uuml"_s, 0xDC}, {u"Xi"_s, 0x39E},
        {u"Yacute"_s, 0xDD}, {u"Yuml"_s, 0x178}, {u"Zeta"_s, 0x396}, {u"aacute"_s, 0xE1},
        {u"acirc"_s, 0xE2}, {u"acute"_s, 0xB4}, {u"aelig"_s, 0xE6}, {u"agrave"_s, 0xE0},
        {u"alefsym"_s, 0x2135}, {u"alpha"_s, 0x3B1}, {u"amp"_s, 0x26}, {u"and"_s, 0x2227},
        {u"ang"_s, 0x2220}, {u"apos"_s, 0x27}, {u"aring"_s, 0xE5}, {u"asymp"_s, 0x2248},
        {u"atilde"_s, 0xE3}, {u"auml"_s, 0xE4}, {u"bdquo"_s, 0x201E}, {u"beta"_s, 0x3B2},
        {u"brvbar"_s, 0xA6}, {u"bull"_s, 0x2022}, {u"cap"_s, 0x2229}, {u"ccedil"_s, 0xE7},
        {u"cedil"_s, 0xB8}, {u"cent"_s, 0xA2}, {u"chi"_s, 0x3C7}, {u"circ"_s, 0x2C6},
        {u"clubs"_s, 0x2663}, {u"cong"_s, 0x2245}, {u"copy"_s, 0xA9}, {u"crarr"_s, 0x21B5},
        {u"cup"_s, 0x222A}, {u"curren"_s, 0xA4}, {u"dArr"_s, 0x21D3}, {u"dagger"_s, 0x2020},
        {u"darr"_s, 0x2193}, {u"deg"_s, 0xB0}, {u"delta"_s, 0x3B4}, {u"diams"_s, 0x2666},
        {u"divide"_s, 0xF7}, {u"eacute"_s, 0xE9}, {u"ecirc"_s, 0xEA}, {u"egrave"_s, 0xE8},
        {u"empty"_s, 0x2205}, {u"emsp"_s, 0x2003}, {u"ensp"_s, 0x2002}, {u"epsilon"_s, 0x3B5},
        {u"equiv"_s, 0x2261}, {u"eta"_s, 0x3B7}, {u"eth"_s, 0xF0}, {u"euml"_s, 0xEB},
        {u"euro"_s, 0x20AC}, {u"exist"_s, 0x2203}, {u"fnof"_s, 0x192}, {u"forall"_s, 0x2200},
        {u"frac12"_s, 0xBD}, {u"frac14"_s, 0xBC}, {u"frac34"_s, 0xBE}, {u"frasl"_s, 0x2044},
        {u"gamma"_s, 0x3B3}, {u"ge"_s, 0x2265}, {u"gt"_s, 0x3E}, {u"hArr"_s, 0x21D4},
        {u"harr"_s, 0x2194}, {u"hearts"_s, 0x2665}, {u"hellip"_s, 0x2026}, {u"iacute"_s, 0xED},
        {u"icirc"_s, 0xEE}, {u"iexcl"_s, 0xA1}, {u"igrave"_s, 0xEC}, {u"image"_s, 0x2111},
        {u"infin"_s, 0x221E}, {u"int"_s, 0x222B}, {u"iota"_s, 0x3B9}, {u"iquest"_s, 0xBF},
        {u"isin"_s, 0x2208}, {u"iuml"_s, 0xEF}, {u"kappa"_s, 0x3BA}, {u"lArr"_s, 0x21D0},
        {u"lambda"_s, 0x3BB}, {u"lang"_s, 0x2329}, {u"laquo"_s, 0xAB}, {u"larr"_s, 0x2190},
        {u"lceil"_s, 0x2308}, {u"ldquo"_s, 0x201C}, {u"le"_s, 0x2264}, {u"lfloor"_s, 0x230A},
        {u"lowast"_s, 0x2217}, {u"loz"_s, 0x25CA}, {u"lrm"_s, 0x200E}, {u"lsaquo"_s, 0x2039},
        {u"lsquo"_s, 0x2018}, {u"lt"_s, 0x3C}, {u"macr"_s, 0xAF}, {u"mdash"_s, 0x2014},
        {u"micro"_s, 0xB5}, {u"middot"_s, 0xB7}, {u"minus"_s, 0x2212}, {u"mu"_s, 0x3BC},
        {u"nabla"_s, 0x2207}, {u"nbsp"_s, 0xA0}, {u"ndash"_s, 0x2013}, {u"ne"_s, 0x2260},
        {u"ni"_s, 0x220B}, {u"not"_s, 0xAC}, {u"notin"_s, 0x2209}, {u"nsub"_s, 0x2284},
        {u"ntilde"_s, 0xF1}, {u"nu"_s, 0x3BD}, {u"oacute"_s, 0xF3}, {u"ocirc"_s, 0xF4},
        {u"oelig"_s, 0x153}, {u"ograve"_s, 0xF2}, {u"oline"_s, 0x203E}, {u"omega"_s, 0x3C9},
        {u"omicron"_s, 0x3BF}, {u"oplus"_s, 0x2295}, {u"or"_s, 0x2228}, {u"ordf"_s, 0xAA},
        {u"ordm"_s, 0xBA}, {u"oslash"_s, 0xF8}, {u"otilde"_s, 0xF5}, {u"otimes"_s, 0x2297},
        {u"ouml"_s, 0xF6}, {u"para"_s, 0xB6}, {u"part"_s, 0x2202}, {u"permil"_s, 0x2030},
        {u"perp"_s, 0x22A5}, {u"phi"_s, 0x3C6}, {u"pi"_s, 0x3C0}, {u"piv"_s, 0x3D6},
        {u"plusmn"_s, 0xB1}, {u"pound"_s, 0xA3}, {u"prime"_s, 0x2032}, {u"prod"_s, 0x220F},
        {u"prop"_s, 0x221D}, {u"psi"_s, 0x3C8}, {u"quot"_s, 0x22}, {u"rArr"_s, 0x21D2},
        {u"radic"_s, 0x221A}, {u"rang"_s, 0x232A}, {u"raquo"_s, 0xBB}, {u"rarr"_s, 0x2192},
        {u"rceil"_s, 0x2309}, {u"rdquo"_s, 0x201D}, {u"real"_s, 0x211C}, {u"reg"_s, 0xAE},
        {u"rfloor"_s, 0x230B}, {u"rho"_s, 0x3C1}, {u"rlm"_s, 0x200F}, {u"rsaquo"_s, 0x203A},
        {u"rsquo"_s, 0x2019}, {u"sbquo"_s, 0x201A}, {u"scaron"_s, 0x161}, {u"sdot"_s, 0x22C5},
        {u"sect"_s, 0xA7}, {u"shy"_s, 0xAD}, {u"sigma"_s, 0x3C3}, {u"sigmaf"_s, 0x3C2},
        {u"sim"_s, 0x223C}, {u"spades"_s, 0x2660}, {u"sub"_s, 0x2282}, {u"sube"_s, 0x2286},
        {u"sum"_s, 0x2211}, {u"sup"_s, 0x2283}, {u"sup1"_s, 0xB9}, {u"sup2"_s, 0xB2},
        {u"sup3"_s, 0xB3}, {u"supe"_s, 0x2287}, {u"szlig"_s, 0xDF}, {u"tau"_s, 0x3C4},
        {u"there4"_s, 0x2234}, {u"theta"_s, 0x3B8}, {u"thetasym"_s, 0x3D1}, {u"thinsp"_s, 0x2009},
        {u"thorn"_s, 0xFE}, {u"tilde"_s, 0x2DC}, {u"times"_s, 0xD7}, {u"trade"_s, 0x2122},
        {u"uArr"_s, 0x21D1}, {u"uacute"_s, 0xFA}, {u"uarr"_s, 0x2191}, {u"ucirc"_s, 0xFB},
        {u"ugrave"_s, 0xF9}, {u"uml"_s, 0xA8}, {u"upsih"_s, 0x3D2}, {u"upsilon"_s, 0x3C5},
        {u"uuml"_s, 0xFC}, {u"weierp"_s, 0x2118}, {u"xi"_s, 0x3BE}, {u"yacute"_s, 0xFD},
        {u"yen"_s, 0xA5}, {u"yuml"_s, 0xFF}, {u"zeta"_s, 0x3B6}, {u"zwj"_s, 0x200D},
        {u"zwnj"_s, 0x200C},
    };
    return entities.value(name, 0);
}
