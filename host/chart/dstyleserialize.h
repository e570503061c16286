#pragma once

class DStyle;
class QARes;
class QAResGroup;

// A style as a resource group: its name, font family, size and weight, its colours (an RGB node
// when set, a false boolean under the same tag when none) and its markers flag.
class DStyleSerialize
{
public:
    // A new group tagged `tag` describing `style`; the caller owns it. Null style: null.
    static QARes* styleToResources(const char* tag, DStyle* style);
    // Takes into `style` what `group` holds; what is missing or of a foreign kind stays as it is.
    static void styleFromResources(QAResGroup* group, DStyle* style);
};
