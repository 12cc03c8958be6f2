# What each program is: its file description, which Windows shows in the version information
# (Properties > Details, Task Manager), and its row in the table of the release's README.txt: the
# variant, the function in Task 1's statement, X of Task 2 when A equals B, and Task 3's aggregate
# in Ukrainian and in English, separated by tabs. Every deliverable needs both.
set(FILE_DESCRIPTION_practice_v4 "Практика з програмування, варіант №4 (пізніша збірка)")
set(RELEASE_ROW_practice_v4 "4\tln(x+1)\t-125\tсума кубів\tsum of cubes")
set(FILE_DESCRIPTION_practice_v1 "Практика з програмування, варіант №1")
set(RELEASE_ROW_practice_v1 "1\tln[(x+1)/(x-1)]\t25\tкількість\tcount")
set(FILE_DESCRIPTION_practice_v4_early "Практика з програмування, варіант №4 (рання збірка)")
set(RELEASE_ROW_practice_v4_early "4\tln(x+1)\t-125\tсума кубів\tsum of cubes")
set(FILE_DESCRIPTION_practice_v8 "Практика з програмування, варіант №8")
set(RELEASE_ROW_practice_v8 "8\tarctg X\t-4\tкількості за знаком\tcounts by sign")
set(FILE_DESCRIPTION_practice_v5 "Практика з програмування, варіант №5")
set(RELEASE_ROW_practice_v5 "5\tln[(1+x)/(1-x)]\t-10\tкількість додатних\tcount of positives")
set(FILE_DESCRIPTION_practice_v14 "Практика з програмування, варіант №14")
set(RELEASE_ROW_practice_v14 "14\tcos(X)\t25\tдобуток\tproduct")
set(FILE_DESCRIPTION_practice_v6 "Практика з програмування, варіант №6")
set(RELEASE_ROW_practice_v6 "6\tln(1-x)\t-2\tсума квадратів\tsum of squares")
