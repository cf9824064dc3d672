"""make_library_list.py OUT [LIBRARIES] [APPS]: a libraryfolders.vdf of the
real file's shape, paths written with doubled backslashes."""
import sys

out = sys.argv[1]
libraries = int(sys.argv[2]) if len(sys.argv) > 2 else 20000
apps = int(sys.argv[3]) if len(sys.argv) > 3 else 20
parts = ['"libraryfolders"\n{\n\t"contentstatsid"\t\t"-4519371834795432870"\n']
for i in range(libraries):
    parts.append(f'\t"{i}"\n\t{{\n\t\t"path"\t\t"D:\\\\SteamLibraries\\\\Drive {i:05d}\\\\SteamLibrary"\n'
                 f'\t\t"label"\t\t"Library {i}"\n\t\t"contentid"\t\t"{7331 * i + 17}"\n'
                 f'\t\t"totalsize"\t\t"{1000000000 + i}"\n\t\t"update_clean_bytes_tally"\t\t"0"\n'
                 f'\t\t"time_last_update_corruption"\t\t"0"\n\t\t"apps"\n\t\t{{\n')
    for a in range(apps):
        parts.append(f'\t\t\t"{228980 + i * apps + a}"\t\t"{(i * 7919 + a * 104729) % 90000000000}"\n')
    parts.append('\t\t}\n\t}\n')
parts.append('}\n')
with open(out, "w", newline="\n") as f:
    f.write("".join(parts))
