// CHostIdentity: which CAD host runs the module, judged once from the host's product name. The
// module keeps one instance for its whole life (hostIdentity, below); the plot
// path, the registration of the marker commands, the legends and pie charts of graphic reports
// and a hyperlink step of space blocks read it.
#pragma once

#include "StdAfx.h"

class CHostIdentity {
  public:
    enum Kind {
        HOST_UNKNOWN = 0,
        HOST_AUTOCAD_LT = 1,
        HOST_AUTOCAD = 2,
        HOST_BRICSCAD = 3,
    };

    // Judges the running host from the product name of the host application services; the
    // program name beside it is kept as the second text.
    CHostIdentity();
    // Judges the host from a product name, in this order, by substrings of the lower-cased
    // name: "autocad" with "tocad lt" is AutoCAD LT ("AutoCADLT"), "autocad" alone AutoCAD
    // ("AutoCAD"), then "bricscad" BricsCAD ("BricsCAD"); anything else is unknown, labelled
    // "unknown <" + the lower-cased name + ">". The second text is kept unchanged.
    CHostIdentity(CString productName, CString secondHostText);

    // The kind (see Kind).
    int getType() const { return m_kind; }
    // 1 for a full host (AutoCAD or BricsCAD: kind above 1), else 0.
    int isFullHost() const { return m_kind > HOST_AUTOCAD_LT ? 1 : 0; }
    CString getProduct() const { return m_product; }
    CString getSecondHostText() const { return m_secondHostText; }

  private:
    int m_kind = HOST_UNKNOWN;
    CString m_product;
    CString m_secondHostText;
};

// Which host runs the module, judged once when the module is loaded; nothing changes it
// afterwards (tests put another in its place).
extern CHostIdentity hostIdentity;
