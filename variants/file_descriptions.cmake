# What Windows shows as each program's description (its version information, Properties >
# Details, and Task Manager).
set(FILE_DESCRIPTION_practice_v4 "Практика з програмування, варіант №4 (пізніша збірка)")
set(FILE_DESCRIPTION_practice_v1 "Практика з програмування, варіант №1")
set(FILE_DESCRIPTION_practice_v4_early "Практика з програмування, варіант №4 (рання збірка)")
set(FILE_DESCRIPTION_practice_v8 "Практика з програмування, варіант №8")
set(FILE_DESCRIPTION_practice_v5 "Практика з програмування, варіант №5")
set(FILE_DESCRIPTION_practice_v14 "Практика з програмування, варіант №14")
set(FILE_DESCRIPTION_practice_v6 "Практика з програмування, варіант №6")
