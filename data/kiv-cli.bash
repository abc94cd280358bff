# bash completion for kiv-cli. Self-contained (no helpers of the bash-completion package), so
# that it also works when sourced on its own.
_kiv_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local command='' i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            -*) ;;
            *) command=${COMP_WORDS[i]}; break ;;
        esac
    done
    COMPREPLY=()
    local commands='encrypt-text decrypt-text encrypt-files decrypt-file test list dde help'
    if [[ -z $command ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$commands -h --help --version" -- "$cur")
        return
    fi

    case $prev in
        --password-file)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return ;;
        -o | --output)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return ;;
        -C | --directory)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            return ;;
        --password-env)
            mapfile -t COMPREPLY < <(compgen -e -- "$cur")
            return ;;
        --password-fd | --service | --name | -e | --entry)
            return ;;
    esac

    local options passwords='--password-file --password-fd --password-env'
    case $command in
        encrypt-text | decrypt-text) options="$passwords -h --help" ;;
        encrypt-files) options="-o --output --name -v --verbose $passwords -h --help" ;;
        decrypt-file) options="-C --directory --stdout -e --entry -v --verbose $passwords -h --help" ;;
        test) options="--json -v --verbose $passwords -h --help" ;;
        list) options='--json -0 --null -h --help' ;;
        dde) options='--service -h --help' ;;
        help)
            mapfile -t COMPREPLY < <(compgen -W "${commands% help}" -- "$cur")
            return ;;
        *) return ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        return
    fi
    case $command in
        encrypt-files)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -f -- "$cur") ;;
        decrypt-file | test | list)
            # .vrq and .VRQ names (the window's file dialog matches either), and folders, to
            # get to the encrypted files inside them.
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -f -X '!*.[vV][rR][qQ]' -- "$cur"
                compgen -d -- "$cur") ;;
        dde)
            mapfile -t COMPREPLY < <(compgen -W 'DdeServerConv1' -- "$cur") ;;
    esac
}
complete -F _kiv_cli kiv-cli
