#include "tools/cli_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace wintarvo::cli {

// std::cout's own buffer hands every write to the C library's stdout at once, so the errno
// of a failed write is still there when the call returns.
StandardOutput::StandardOutput() : inner_(std::cout.rdbuf()) { std::cout.rdbuf(this); }

StandardOutput::~StandardOutput() { std::cout.rdbuf(inner_); }

void StandardOutput::noteFailure() {
    if (!failed_) error_ = errno;
    failed_ = true;
}

int StandardOutput::overflow(int c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    errno = 0;
    if (traits_type::eq_int_type(inner_->sputc(traits_type::to_char_type(c)), traits_type::eof())) {
        noteFailure();
        return traits_type::eof();
    }
    return c;
}

std::streamsize StandardOutput::xsputn(const char* s, std::streamsize n) {
    errno = 0;
    const std::streamsize written = inner_->sputn(s, n);
    if (written < n) noteFailure();
    return written;
}

int StandardOutput::sync() {
    errno = 0;
    if (inner_->pubsync() != 0 || std::fflush(stdout) != 0) {
        noteFailure();
        return -1;
    }
    return 0;
}

int StandardOutput::finish(int status) {
    std::cout.flush();
    sync();
    if (!failed_ && !std::ferror(stdout)) return status;
    // A command that failed has said why already (the GTP engine stops when its controller
    // has closed the stream).
    if (status == 1) return status;
    std::cerr << "wintarvo-cli: cannot write to standard output";
    if (error_ != 0) std::cerr << ": " << std::strerror(error_);
    std::cerr << '\n';
    return 1;
}

}  // namespace wintarvo::cli
