# Every target of the project builds with these warnings and must stay free of them.
add_compile_options(-Wall -Wextra)
