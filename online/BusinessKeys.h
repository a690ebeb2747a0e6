#pragma once

namespace business_v2 {

// Shared with the web service: it decrypts "data" and checks "sign" with them.
// The key and IV are used as their ASCII characters (32 and 16 bytes), not as
// decoded hexadecimal.
inline constexpr char dataKey[] = "CD2D0ACB384C597DB78E7C47C26CE544";
inline constexpr char dataIv[] = "676B50E6016011F7";

// Only for reading the distribution channel from the user settings file.
inline constexpr char channelKey[] = "66E498DC7D5310C93E348DA149983606";
inline constexpr char channelIv[] = "A5FDFF1BFF7ACC4E";

} // namespace business_v2
