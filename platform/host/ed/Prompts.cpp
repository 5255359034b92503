#include "host/ed/Prompts.h"

#include <cwchar>
#include <functional>
#include <optional>

#include "host/app/EntityNames.h"
#include "host/db/HostServices.h"
#include "host/db/ObjectAccess.h"
#include "host/ed/Answers.h"
#include "host/ed/Editor.h"
#include "host/ed/EntityShape.h"
#include "host/ed/Picking.h"

using namespace qv::host::ed;

namespace {

constexpr size_t kClassicBuffer = 133;

std::wstring promptOf(const ACHAR* prompt, const wchar_t* fallback = L"") {
    return prompt != nullptr ? prompt : fallback;
}

// Copies `text` into a buffer of `size`; RTINPUTTRUNCATED when it had to be cut.
int copyOut(const std::wstring& text, ACHAR* result, size_t size, int status = RTNORM) {
    const size_t n = std::min(text.size(), size - 1);
    std::wmemcpy(result, text.data(), n);
    result[n] = 0;
    return n < text.size() ? RTINPUTTRUNCATED : status;
}

// copyOut for the answer to a prompt: a cut answer is said and counted as refused, so that a
// script that gave it fails instead of going on with what the caller made of the cut text.
int answerOut(const std::wstring& text, ACHAR* result, size_t size) {
    const int status = copyOut(text, result, size);
    if (status == RTINPUTTRUNCATED) {
        editor().refuse(L"The answer is too long for this prompt: it takes at most " +
                        std::to_wstring(size - 1) + L" characters, the answer has " +
                        std::to_wstring(text.size()) + L".");
    }
    return status;
}

// What a parser made of an answer: a value was stored, or why the text is no value.
struct Parsed {
    bool ok = false;
    std::wstring why;  // empty: not a value at all (keywords may still apply)
};

// The loop of the value functions: asks until a value, a keyword, Enter or Esc.
int getValue(const std::wstring& prompt, const InitGet& init,
             const std::function<Parsed(const std::wstring&)>& parse, const wchar_t* notValue) {
    for (;;) {
        const Answer answer = editor().ask(prompt);
        if (answer.kind == Answer::Cancel) {
            return RTCAN;
        }
        if (answer.kind == Answer::Empty) {
            if (init.flags & RSG_NONULL) {
                editor().refuse(L"A value is required.");
                continue;
            }
            return RTNONE;
        }
        const Parsed parsed = parse(answer.text);
        if (parsed.ok) {
            return RTNORM;
        }
        if (parsed.why.empty()) {
            if (std::optional<std::wstring> keyword = init.keywords.match(answer.text)) {
                editor().setLastInput(*keyword);
                return RTKWORD;
            }
            if (init.flags & RSG_OTHER) {
                editor().setLastInput(answer.text);
                return RTKWORD;
            }
        }
        editor().refuse(parsed.why.empty() ? notValue : parsed.why);
    }
}

// Checks the sign rules of acedInitGet on a number.
std::wstring signRule(double value, int flags) {
    if ((flags & RSG_NOZERO) && value == 0.0) {
        return L"Value must not be zero.";
    }
    if ((flags & RSG_NONEG) && value < 0.0) {
        return L"Value must be positive.";
    }
    return L"";
}

}  // namespace

int acedInitGet(int flags, const ACHAR* keywords) {
    editor().setInitGet(flags, keywords != nullptr ? keywords : L"");
    return RTNORM;
}

int acedGetInt(const ACHAR* prompt, int* result) {
    const InitGet init = editor().takeInitGet();
    if (result == nullptr) {
        return RTERROR;
    }
    return getValue(
        promptOf(prompt), init,
        [&](const std::wstring& text) -> Parsed {
            const std::optional<long long> v = parseInteger(text);
            if (!v) {
                return {};
            }
            if (*v < -32768 || *v > 32767) {
                return {false, L"Requires an integer between -32768 and 32767."};
            }
            if (std::wstring why = signRule(static_cast<double>(*v), init.flags); !why.empty()) {
                return {false, why};
            }
            *result = static_cast<int>(*v);
            return {true, L""};
        },
        L"Requires an integer value.");
}

int acedGetReal(const ACHAR* prompt, ads_real* result) {
    const InitGet init = editor().takeInitGet();
    if (result == nullptr) {
        return RTERROR;
    }
    return getValue(
        promptOf(prompt), init,
        [&](const std::wstring& text) -> Parsed {
            const std::optional<double> v = parseReal(text);
            if (!v) {
                return {};
            }
            if (std::wstring why = signRule(*v, init.flags); !why.empty()) {
                return {false, why};
            }
            *result = *v;
            return {true, L""};
        },
        L"Requires numeric value.");
}

int acedGetPoint(const ads_point base, const ACHAR* prompt, ads_point result) {
    const InitGet init = editor().takeInitGet();
    if (result == nullptr) {
        return RTERROR;
    }
    const AcGePoint3d from =
        base != nullptr ? AcGePoint3d(base[0], base[1], base[2]) : worldToUcs(editor().lastPoint());
    return getValue(
        promptOf(prompt), init,
        [&](const std::wstring& text) -> Parsed {
            std::optional<AcGePoint3d> p = parsePoint(text, from);
            if (!p) {
                return {};
            }
            if (init.flags & RSG_2D) {
                p->z = 0.0;
            }
            result[0] = p->x;
            result[1] = p->y;
            result[2] = p->z;
            editor().setLastPoint(ucsToWorld(*p));
            return {true, L""};
        },
        L"Invalid point.");
}

int qv::host::ed::getText(bool spaces, const std::wstring& prompt, std::wstring& answer) {
    editor().takeInitGet();
    const Answer read = editor().ask(prompt, !spaces);
    answer = read.text;
    return read.kind == Answer::Cancel ? RTCAN : RTNORM;
}

int acedGetString(int spaces, const ACHAR* prompt, ACHAR* result, size_t size) {
    if (result == nullptr || size == 0) {
        editor().takeInitGet();
        return RTERROR;
    }
    std::wstring answer;
    if (getText(spaces != 0, promptOf(prompt), answer) == RTCAN) {
        result[0] = 0;
        return RTCAN;
    }
    return answerOut(answer, result, size);
}

int acedGetString(int spaces, const ACHAR* prompt, ACHAR* result) {
    return acedGetString(spaces, prompt, result, kClassicBuffer);
}

int acedGetKword(const ACHAR* prompt, ACHAR* result, size_t size) {
    const InitGet init = editor().takeInitGet();
    if (result == nullptr || size == 0) {
        return RTERROR;
    }
    result[0] = 0;
    if (init.keywords.isEmpty() && !(init.flags & RSG_OTHER)) {
        return RTERROR;
    }
    for (;;) {
        const Answer answer = editor().ask(promptOf(prompt), true);
        if (answer.kind == Answer::Cancel) {
            return RTCAN;
        }
        if (answer.kind == Answer::Empty) {
            if (init.flags & RSG_NONULL) {
                editor().refuse(L"A value is required.");
                continue;
            }
            return RTNONE;
        }
        if (std::optional<std::wstring> keyword = init.keywords.match(answer.text)) {
            return answerOut(*keyword, result, size);
        }
        if (init.flags & RSG_OTHER) {
            return answerOut(answer.text, result, size);
        }
        editor().refuse(L"Invalid option keyword.");
    }
}

int acedGetKword(const ACHAR* prompt, ACHAR* result) {
    return acedGetKword(prompt, result, kClassicBuffer);
}

int acedGetInput(ACHAR* result, size_t size) {
    if (result == nullptr || size == 0) {
        return RTERROR;
    }
    return copyOut(editor().lastInput(), result, size);
}

int acedGetInput(ACHAR* result) {
    return acedGetInput(result, kClassicBuffer);
}

int acedEntSel(const ACHAR* prompt, ads_name entity, ads_point point) {
    const InitGet init = editor().takeInitGet();
    if (entity == nullptr || point == nullptr) {
        return RTERROR;
    }
    entity[0] = entity[1] = 0;
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (db == nullptr) {
        return RTERROR;
    }
    AcDbObjectId picked;
    bool missed = false;
    const int status = getValue(
        promptOf(prompt, L"\nSelect object: "), init,
        [&](const std::wstring& text) -> Parsed {
            if (const std::optional<AcDbHandle> handle = parseHandle(text)) {
                picked = layoutEntityOfHandle(*db, *handle);
                if (picked.isNull()) {
                    print(L"No entity of the drawing has the handle " + handle->text() + L".\n");
                    missed = true;
                    return {true, L""};
                }
                const AcGePoint3d on = pointOn(*qv::host::ObjectAccess::peekAs<AcDbEntity>(picked));
                const AcGePoint3d ucs = worldToUcs(on);
                point[0] = ucs.x;
                point[1] = ucs.y;
                point[2] = ucs.z;
                return {true, L""};
            }
            if (const std::optional<AcGePoint3d> p =
                    parsePoint(text, worldToUcs(editor().lastPoint()))) {
                point[0] = p->x;
                point[1] = p->y;
                point[2] = p->z;
                const AcGePoint3d world = ucsToWorld(*p);
                editor().setLastPoint(world);
                picked = entityAt(*db, world);
                if (picked.isNull()) {
                    print(L"Nothing found at that point.\n");
                    missed = true;
                }
                return {true, L""};
            }
            return {};
        },
        L"Select an object by its handle (#2A) or a point on it.");
    if (status == RTNONE) {
        return RTERROR;
    }
    if (status != RTNORM) {
        return status;
    }
    if (missed) {
        return RTERROR;
    }
    ads_name name;
    if (acdbGetAdsName(name, picked) != Acad::eOk) {
        return RTERROR;
    }
    ads_name_set(name, entity);
    return RTNORM;
}
