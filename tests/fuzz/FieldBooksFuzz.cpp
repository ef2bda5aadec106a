// The whole field-book reduction from files: a raw file read, reduced and written as the three
// books in a folder of its own, then the books laid out as RTF and as text books, as the commands
// do. The second file of an input answers the run's questions, a byte a question.
#include <cassert>
#include <deque>

#include "RunInput.h"
#include "core/text/TextFile.h"
#include "fielddata/books/DistanceBookRtf.h"
#include "fielddata/books/FieldBookReduction.h"
#include "fielddata/books/TextBooks.h"

namespace {

// Answers from the listed bytes (odd: Yes), then Yes; a stopped run is a run like another.
class ByteAnswers : public qef::Interaction {
public:
    explicit ByteAnswers(const std::string& bytes) : bytes_(bytes.begin(), bytes.end()) {}
    void Message(const std::string&) override {}
    qef::Answer AskYesNo(const std::string&) override { return Next(); }
    qef::Answer AskYesNoCancel(const std::string&) override { return Next(); }
    std::optional<std::string> AskText(const std::string&, const std::string&, const std::string& text) override {
        return text;
    }

private:
    qef::Answer Next() {
        if (bytes_.empty()) return qef::Answer::Yes;
        const char b = bytes_.front();
        bytes_.pop_front();
        return (b & 1) != 0 ? qef::Answer::Yes : qef::Answer::No;
    }
    std::deque<char> bytes_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const qef::fuzz::RunFolder& folder = qef::fuzz::Folder();
    const qef::FieldBookFiles files{folder.File("raw.dta"), folder.File("goc.txt"), folder.File("canh.txt"),
                                    folder.File("bs.dta")};
    std::uint8_t extra = 0;
    const qef::ComputationSettings settings =
        qef::fuzz::PrepareRun(data, size, files.Raw, folder.File("answers"), extra);
    // The answers are the bytes after the first zero byte.
    const std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = size > 2 ? rest.find('\0', 2) : std::string_view::npos;
    const std::string answers(cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1));
    qef::FieldBookOptions options;
    options.AngleSets = 1 + (extra & 3);
    options.SecondsDecimals = (extra >> 2) & 3;
    options.DistanceCount = (extra >> 4) & 7;
    options.DistanceTolerance = 5;
    options.Distances = (extra & 0x80) != 0 ? qef::DistanceMode::Free : qef::DistanceMode::ForwardBack;
    ByteAnswers ui(answers);
    const qef::FieldBookOutcome outcome = qef::BuildFieldBooks(files, options, settings, ui);
    if (outcome == qef::FieldBookOutcome::Completed || outcome == qef::FieldBookOutcome::Stopped) {
        std::vector<std::string> angleBook, distanceBook;
        const bool read = qef::ReadAllLines(files.AngleBook, angleBook) && qef::ReadAllLines(files.DistanceBook, distanceBook);
        assert(read && qef::FileExists(files.Adjustment));
        (void)read;
        qef::SilentInteraction silent;
        (void)qef::DistanceBookRtf(distanceBook, options, silent);
        (void)qef::AngleTextBook(angleBook, {});
        (void)qef::DistanceTextBook(distanceBook, {});
    }
    folder.AssertNothingStaged();
    return 0;
}
