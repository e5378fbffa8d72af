#pragma once
// What the application and the encoder program must agree on, shared by both sides: the
// encoder's name and the access token that opens every command line.

// The encoder program, as the first token of every command line: a bare name, found beside the
// application first (platform::FindProgram).
inline constexpr const char kEncoderName[] = "Kestrelvx";

// The access token as the encoder sees it once the command line is split into words.
inline constexpr const char kEncoderToken[] = "tmk52hsRW&!";

// The token as the command line carries it, right after the encoder's name: a blank, the 11
// characters of the token, a blank.
inline constexpr const char kEncoderAccessToken[] = " tmk52hsRW&! ";

static_assert(sizeof(kEncoderAccessToken) == sizeof(kEncoderToken) + 2,
              "the command line's token is the encoder's token between two blanks");
