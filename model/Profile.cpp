// Profile files: loading and saving through the system's file calls (os/). The format is
// checked in ProfileSchema.cpp and written in ProfileText.cpp.
#include "Profile.h"

#include "ProfileSchema.h"

#include <algorithm>
#include <cctype>
#include <memory>

namespace vornik {

namespace {

std::string quoted(const std::string& fileName) {
    return "\"" + fileName + "\"";
}

} // namespace

ProfileResult ProfileResult::failure(Problem problem, std::string file, std::string detail, std::string text) {
    ProfileResult result = failure(std::move(text));
    result.problem = problem;
    result.file = std::move(file);
    result.detail = std::move(detail);
    return result;
}

ProfileResult parseProfile(std::string_view text, const std::string& fileName, Configuration& config) {
    auto scratch = std::make_unique<ProfileTables>(); // about 110 KB
    if (const std::optional<std::string> problem = detail::checkText(text, *scratch))
        return ProfileResult::failure(ProfileResult::Problem::Refused, fileName, *problem,
                                      "Cannot load " + quoted(fileName) + ": " + *problem);
    static_cast<ProfileTables&>(config) = std::move(*scratch);
    return {};
}

ProfileResult loadProfile(const std::string& path, Configuration& config) {
    const std::string prefix = "Cannot load " + quoted(path) + ": ";
    // Read one byte past the limit, so that an oversized file (or an endless device) is caught
    // without reading all of it.
    std::string text;
    if (const std::error_code error = os::readFile(path, kMaxProfileBytes + 1, text))
        return ProfileResult::failure(ProfileResult::Problem::Read, path, error.message(), prefix + error.message());
    if (text.size() > kMaxProfileBytes)
        return ProfileResult::failure(ProfileResult::Problem::TooLarge, path, {},
                                      prefix + "the file is larger than a profile may be (1 MiB)");
    return parseProfile(text, path, config);
}

ProfileResult saveProfile(const std::string& path, const Configuration& config) {
    ProfileFileWriter writer;
    return saveProfile(path, config, writer);
}

ProfileResult saveProfile(const std::string& path, const Configuration& config, ProfileFileWriter& writer) {
    const std::string prefix = "Cannot save " + quoted(path) + ": ";
    std::string text;
    if (ProfileResult made = profileText(config, text); !made)
        return ProfileResult::failure(ProfileResult::Problem::Tables, path, made.detail, prefix + made.message);

    const os::AtomicWriteResult written = os::writeFileAtomically(path, text, writer);
    const std::string reason = written.error.message();
    using Failure = os::AtomicWriteResult::Failure;
    using Problem = ProfileResult::Problem;
    switch (written.failure) {
    case Failure::None:
        return {};
    case Failure::Create: {
        ProfileResult result = ProfileResult::failure(Problem::Create, path, reason,
                                                      prefix + "cannot create a file in " +
                                                          quoted(os::folderOf(written.target)) + ": " + reason);
        result.folder = os::folderOf(written.target);
        return result;
    }
    case Failure::Write:
        return ProfileResult::failure(Problem::Write, path, reason, prefix + "writing failed: " + reason);
    case Failure::Flush:
        return ProfileResult::failure(Problem::Flush, path, reason, prefix + "flushing to disk failed: " + reason);
    case Failure::Replace:
        return ProfileResult::failure(Problem::Replace, path, reason, prefix + "cannot replace the file: " + reason);
    }
    return ProfileResult::failure(Problem::Write, path, reason, prefix + reason);
}

std::string withProfileExtension(const std::string& path) {
    const std::string ext = kProfileExtension;
    const std::string name = path.substr(os::fileNameStart(path));
    if (name.size() > ext.size()) {
        const std::string tail = name.substr(name.size() - ext.size());
        const bool same = std::equal(tail.begin(), tail.end(), ext.begin(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        });
        if (same)
            return path;
    }
    return path + ext;
}

} // namespace vornik
