# Bash completion for paletteer95-cli. A new command adds its name to
# commands and, where it has them, its options and file kinds to the case.
_paletteer95_cli() {
    local cur prev words cword
    _init_completion || return

    local commands="write save read preview pack install --help --version"
    if [ "$cword" -eq 1 ]; then
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        return
    fi

    local command=${words[1]}
    case $command in
    write)
        case $prev in
        -o | --output)
            _filedir theme
            return
            ;;
        esac
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "-o --output" -- "$cur"))
        else
            _filedir json
        fi
        ;;
    save)
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--skip-missing" -- "$cur"))
        else
            _filedir json
        fi
        ;;
    read)
        case $prev in
        --into)
            _filedir json
            return
            ;;
        esac
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--into" -- "$cur"))
        else
            _filedir theme
        fi
        ;;
    preview)
        case $prev in
        -o | --output)
            _filedir png
            return
            ;;
        --size | --screen)
            COMPREPLY=($(compgen -W "800x600 640x480 1024x768" -- "$cur"))
            return
            ;;
        esac
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "-o --output --size --screen" -- "$cur"))
        else
            _filedir json
        fi
        ;;
    pack)
        case $prev in
        -o | --output)
            _filedir zip
            return
            ;;
        esac
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "-o --output" -- "$cur"))
        fi
        ;;
    install)
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--force" -- "$cur"))
        else
            _filedir '@(zip|7z|rar|lzh|lha|cab|tar|tgz|gz|tbz|tbz2|bz2|txz|xz|tzst|zst)'
        fi
        ;;
    esac
} && complete -F _paletteer95_cli paletteer95-cli
