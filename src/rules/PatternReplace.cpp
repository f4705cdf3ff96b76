#include "rules/PatternReplace.h"

#include "rules/CharacterPositions.h"
#include "rules/FileRow.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <cstdint>

namespace quorvane {
namespace {

// Every match gets the same fixed budget, so a pattern that backtracks
// without end (nested repeats over a long name) gives up on that name within
// about a millisecond, and a preview of thousands of such names still comes
// back in a few seconds. The machine code counts its steps differently from
// the interpreter and takes each several times faster, so each engine has its
// own figure; both leave the usual patterns over a name of 255 characters
// plenty of room.
constexpr std::uint32_t kJitMatchLimit = 50'000;
constexpr std::uint32_t kInterpreterMatchLimit = 20'000;
// How deep the interpreter may nest its backtracking; every level is heap.
constexpr std::uint32_t kDepthLimit = 10'000;
// The machine code's own stack. Deep patterns over long names fit; one that
// still runs out is tried once more by the interpreter, within its budget.
constexpr PCRE2_SIZE kJitStackStart = PCRE2_SIZE{32} * 1024;
constexpr PCRE2_SIZE kJitStackMax = PCRE2_SIZE{512} * 1024;

// Where a group's start offset stands in a match's offset vector.
std::size_t Start(int group) {
    return 2 * static_cast<std::size_t>(group);
}

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u;
}

std::size_t CharactersBefore(std::string_view text, std::size_t byteOffset, bool utf) {
    byteOffset = std::min(byteOffset, text.size());
    if (!utf)
        return byteOffset;
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(byteOffset),
                      [](char c) { return !IsContinuationByte(c); }));
}

// The pattern compiled for one matching mode, with its match data.
struct CompiledPattern {
    pcre2_code* code = nullptr;
    pcre2_match_data* matchData = nullptr;
    bool utf = false;
    bool jit = false; // compiled to machine code: matched without the interpreter's checks

    CompiledPattern() = default;
    CompiledPattern(const CompiledPattern&) = delete;
    CompiledPattern& operator=(const CompiledPattern&) = delete;
    ~CompiledPattern() {
        pcre2_match_data_free(matchData);
        pcre2_code_free(code);
    }
};

std::unique_ptr<CompiledPattern> Compile(std::string_view pattern, bool utf,
                                         ReplacePatternError* error) {
    // UTF-8 mode never lets \C split a character; byte mode refuses (*UTF),
    // which would turn on a mode the name is not valid for.
    const std::uint32_t options =
        utf ? PCRE2_UTF | PCRE2_UCP | PCRE2_NEVER_BACKSLASH_C : PCRE2_NEVER_UTF;
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                     options, &errorCode, &errorOffset, nullptr);
    if (!code) {
        if (error) {
            PCRE2_UCHAR message[256];
            if (pcre2_get_error_message(errorCode, message, sizeof message) < 0)
                message[0] = 0;
            error->message = reinterpret_cast<const char*>(message);
            error->offset = CharactersBefore(pattern, errorOffset, utf);
            error->inReplacement = false;
        }
        return nullptr;
    }
    auto compiled = std::make_unique<CompiledPattern>();
    compiled->code = code;
    compiled->utf = utf;
    // Without the JIT (not built for this processor) the interpreter runs.
    compiled->jit = pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) == 0;
    compiled->matchData = pcre2_match_data_create_from_pattern(code, nullptr);
    if (!compiled->matchData)
        return nullptr;
    return compiled;
}

// One piece of the replacement: literal text, or the text of a group.
struct Piece {
    std::string literal;
    int group = -1;
};

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<ReplacePatternError> ParseReplacement(std::string_view text,
                                                    const CompiledPattern& pattern,
                                                    std::vector<Piece>& pieces) {
    std::uint32_t groups = 0;
    pcre2_pattern_info(pattern.code, PCRE2_INFO_CAPTURECOUNT, &groups);
    const bool utf = CharacterPositions(text).IsUtf8();
    const auto fault = [&](std::size_t at, std::string message) {
        return ReplacePatternError{std::move(message), CharactersBefore(text, at, utf), true};
    };
    std::string literal;
    const auto addGroup = [&](int group) {
        if (!literal.empty())
            pieces.push_back({std::move(literal), -1});
        literal.clear();
        pieces.push_back({{}, group});
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        // At the end of the text `next` is NUL, so a last "$" is text.
        const bool dollar = c == '$';
        if (dollar && next == '$') {
            literal += '$';
            ++i;
        } else if (dollar && next >= '0' && next <= '9') {
            const int group = next - '0';
            if (static_cast<std::uint32_t>(group) > groups)
                return fault(i, "there is no group " + std::to_string(group));
            addGroup(group);
            ++i;
        } else if (dollar && next == '{') {
            const std::size_t close = text.find('}', i + 2);
            if (close == std::string_view::npos)
                return fault(i, "\"${\" without a closing \"}\"");
            const std::string inner(text.substr(i + 2, close - i - 2));
            int group = -1;
            if (inner.empty()) {
                return fault(i, "\"${}\" names no group");
            } else if (AllDigits(inner)) {
                if (inner.size() > 5 || static_cast<std::uint32_t>(std::stoi(inner)) > groups)
                    return fault(i, "there is no group " + inner);
                group = std::stoi(inner);
            } else {
                group = pcre2_substring_number_from_name(
                    pattern.code, reinterpret_cast<PCRE2_SPTR>(inner.c_str()));
                if (group == PCRE2_ERROR_NOUNIQUESUBSTRING)
                    return fault(i, "more than one group is named \"" + inner + "\"");
                if (group < 0)
                    return fault(i, "no group is named \"" + inner + "\"");
            }
            addGroup(group);
            i = close;
        } else {
            literal += c; // so is "$" before anything else
        }
    }
    if (!literal.empty())
        pieces.push_back({std::move(literal), -1});
    return std::nullopt;
}

using Pass = PatternRewrite;

// The budgets of one replacer: one context per engine, so each has its own.
struct MatchBudget {
    pcre2_match_context* jit = nullptr;
    pcre2_match_context* interpreter = nullptr;
    pcre2_jit_stack* jitStack = nullptr;

    MatchBudget() {
        jit = pcre2_match_context_create(nullptr);
        interpreter = pcre2_match_context_create(nullptr);
        jitStack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
        if (jit) {
            pcre2_set_match_limit(jit, kJitMatchLimit);
            // Without a stack of its own the machine code keeps its small default.
            if (jitStack)
                pcre2_jit_stack_assign(jit, nullptr, jitStack);
        }
        if (interpreter) {
            pcre2_set_match_limit(interpreter, kInterpreterMatchLimit);
            pcre2_set_depth_limit(interpreter, kDepthLimit);
        }
    }
    MatchBudget(const MatchBudget&) = delete;
    MatchBudget& operator=(const MatchBudget&) = delete;
    ~MatchBudget() {
        pcre2_jit_stack_free(jitStack);
        pcre2_match_context_free(interpreter);
        pcre2_match_context_free(jit);
    }
    // Matching without a budget could run for hours; without memory for one
    // every name gives up instead.
    bool Usable() const { return jit && interpreter; }
};

} // namespace

struct PatternReplacer::Impl {
    std::string pattern;
    bool patternIsUtf8 = false;
    bool remove = false;
    std::unique_ptr<CompiledPattern> utf;   // for names that are valid UTF-8
    std::unique_ptr<CompiledPattern> bytes; // for the others, made on first need
    bool bytesTried = false;
    MatchBudget budget;
    std::vector<Piece> pieces;
    std::optional<ReplacePatternError> error;
    std::string spare; // the second buffer of repeated removal

    const CompiledPattern* PatternFor(std::string_view text) {
        if (patternIsUtf8 && CharacterPositions(text).IsUtf8())
            return utf.get();
        if (!bytesTried) {
            bytesTried = true;
            // A pattern that only UTF-8 mode accepts (a code point above 255)
            // cannot match such a name at all: the name stays as it is.
            bytes = Compile(pattern, false, nullptr);
        }
        return bytes.get();
    }

    void AppendReplacement(std::string& out, std::string_view text, const PCRE2_SIZE* ovector,
                           int captured) const {
        for (const Piece& piece : pieces) {
            if (piece.group < 0) {
                out += piece.literal;
            } else if (piece.group < captured && ovector[Start(piece.group)] != PCRE2_UNSET) {
                const PCRE2_SIZE from = ovector[Start(piece.group)];
                out.append(text.substr(from, ovector[Start(piece.group) + 1] - from));
            }
        }
    }

    int Match(const CompiledPattern& compiled, std::string_view text, std::size_t from,
              std::uint32_t options) const {
        const auto subject = reinterpret_cast<PCRE2_SPTR>(text.data());
        if (compiled.jit) {
            const int captured = pcre2_jit_match(compiled.code, subject, text.size(), from, options,
                                                 compiled.matchData, budget.jit);
            // The machine code's stack ran out: the interpreter keeps its
            // backtracking on the heap.
            if (captured != PCRE2_ERROR_JIT_STACKLIMIT)
                return captured;
        }
        return pcre2_match(compiled.code, subject, text.size(), from,
                           options | PCRE2_NO_JIT | (compiled.utf ? PCRE2_NO_UTF_CHECK : 0),
                           compiled.matchData, budget.interpreter);
    }

    // One pass over the text, as sed's s///g: after an empty match the next
    // one may not be empty at the same place, so every match ends.
    Pass RewriteOnce(const CompiledPattern& compiled, std::string_view text, bool every,
                     std::string& out) const {
        // Removing nothing is no removal: Remove looks for matches that are
        // not empty ("x*" removes the runs of x, not the gaps between letters).
        const std::uint32_t empty = remove ? PCRE2_NOTEMPTY : 0;
        std::size_t copied = 0;
        std::size_t from = 0;
        std::uint32_t options = empty;
        bool matched = false;
        out.clear();
        for (;;) {
            const int captured = Match(compiled, text, from, options);
            if (captured == PCRE2_ERROR_NOMATCH)
                break;
            if (captured < 0)
                return Pass::GaveUp;
            const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(compiled.matchData);
            const std::size_t start = ovector[0];
            const std::size_t end = ovector[1];
            if (start < copied || end < start || end > text.size())
                return Pass::GaveUp; // \K tricks that move the match backwards
            matched = true;
            out.append(text.substr(copied, start - copied));
            AppendReplacement(out, text, ovector, captured);
            copied = end;
            if (!every)
                break;
            from = end;
            options = start == end ? empty | PCRE2_NOTEMPTY_ATSTART : empty;
            if (start == end && end == text.size())
                break;
        }
        if (!matched)
            return Pass::NoMatch;
        out.append(text.substr(copied));
        return Pass::Rewritten;
    }
};

PatternReplacer::PatternReplacer(std::string_view pattern, std::string_view replacement,
                                 bool remove)
    : m_impl(std::make_unique<Impl>()) {
    Impl& impl = *m_impl;
    impl.pattern.assign(pattern);
    impl.remove = remove;
    impl.patternIsUtf8 = CharacterPositions(pattern).IsUtf8();
    ReplacePatternError error;
    const CompiledPattern* primary = nullptr;
    if (impl.patternIsUtf8) {
        impl.utf = Compile(pattern, true, &error);
        primary = impl.utf.get();
    } else {
        impl.bytesTried = true;
        impl.bytes = Compile(pattern, false, &error);
        primary = impl.bytes.get();
    }
    if (!primary) {
        impl.error = std::move(error);
        return;
    }
    if (!remove)
        impl.error = ParseReplacement(replacement, *primary, impl.pieces);
}

PatternReplacer::~PatternReplacer() = default;

const std::optional<ReplacePatternError>& PatternReplacer::Error() const {
    return m_impl->error;
}

PatternRewrite PatternReplacer::Rewrite(std::string_view text, bool everyOccurrence,
                                        std::string& out) {
    Impl& impl = *m_impl;
    if (impl.error)
        return Pass::NoMatch;
    if (!impl.budget.Usable())
        return Pass::GaveUp;
    const CompiledPattern* compiled = impl.PatternFor(text);
    if (!compiled)
        return Pass::NoMatch;
    std::string& result = impl.spare;
    const Pass first = impl.RewriteOnce(*compiled, text, everyOccurrence, result);
    if (first != Pass::Rewritten)
        return first;
    if (impl.remove && everyOccurrence) {
        // Pieces that come together after a removal may match again; every
        // further pass is shorter, so this ends.
        std::size_t before = text.size();
        while (result.size() < before) {
            before = result.size();
            const Pass pass = impl.RewriteOnce(*compiled, result, true, out);
            if (pass == Pass::GaveUp)
                return Pass::GaveUp;
            if (pass == Pass::NoMatch)
                break;
            result.swap(out);
        }
    }
    out.swap(result);
    return Pass::Rewritten;
}

std::string ReplacePatternHint(const ReplacePatternError& error) {
    return std::string(error.inReplacement ? "Replacement error" : "Regular expression error") +
           " at offset " + std::to_string(error.offset) + ": " + error.message;
}

std::string PatternGaveUpHint(std::size_t names) {
    return "The pattern gave up on " + std::to_string(names) + " names.";
}

ReplaceOutcome PreviewPatternReplace(std::vector<std::string>& names,
                                     const ReplaceSettings& settings,
                                     const std::vector<bool>& folders) {
    ReplaceOutcome outcome;
    PatternReplacer replacer(settings.search, settings.replacement,
                             settings.mode == ReplaceMode::Remove);
    if (replacer.Error()) {
        for (std::string& name : names)
            name.clear();
        outcome.patternError = replacer.Error();
        return outcome;
    }
    std::string rewritten;
    for (std::size_t entry = 0; entry < names.size(); ++entry) {
        std::string& name = names[entry];
        const std::size_t end =
            settings.entireName ? name.size() : ExtensionOffset(name, folders, entry);
        const PatternRewrite result = replacer.Rewrite(std::string_view(name).substr(0, end),
                                                       settings.allOccurrences, rewritten);
        if (result == PatternRewrite::GaveUp) {
            // Half a search is no answer: the row gets no name at all.
            name.clear();
            ++outcome.gaveUp;
            continue;
        }
        if (result == PatternRewrite::NoMatch)
            continue;
        rewritten.append(name, end);
        name.assign(rewritten);
    }
    return outcome;
}

} // namespace quorvane
