#pragma once
// A reason, found before anything is written, why the patch cannot be copied:
// the file it concerns, what is wrong with it, and what the player can do.
#include <exception>
#include <string>

class copy_problem : public std::exception {
public:
    copy_problem(std::wstring file, std::wstring problem, std::wstring advice)
        : file_(std::move(file)), problem_(std::move(problem)), advice_(std::move(advice)) {}

    const char* what() const noexcept override { return "the patch cannot be copied into the game folder"; }
    const std::wstring& file() const { return file_; }
    const std::wstring& problem() const { return problem_; }
    const std::wstring& advice() const { return advice_; }

private:
    std::wstring file_;
    std::wstring problem_;
    std::wstring advice_;
};
