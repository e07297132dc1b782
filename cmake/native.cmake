# Host build of the portable logic: every test runs under AddressSanitizer and UBSan.
add_compile_options(-Wall -Wextra -fsanitize=address,undefined -fno-sanitize-recover=all
                    -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
