# bash completion for px520-cli

_px520_cli() {
    local cur prev words cword
    _init_completion || return

    local commands="ports read write verify show diff check set"
    local command="" word
    for word in "${words[@]:1:cword-1}"; do
        case $word in
            ports | read | write | verify | show | diff | check | set)
                command=$word
                break
                ;;
        esac
    done

    case $prev in
        --trace | -o | --output)
            _filedir
            return
            ;;
        --each | --record)
            _filedir csv
            return
            ;;
        --from)
            _filedir json
            return
            ;;
        --from-row)
            return
            ;;
        -p | --port)
            local ports
            ports=$(px520-cli ports 2>/dev/null | awk '{print $1}')
            COMPREPLY=($(compgen -W "$ports" -- "$cur"))
            compopt -o filenames
            [[ $cur == */* ]] && _filedir
            return
            ;;
    esac

    local options
    case $command in
        "") options="--trace --help --version" ;;
        ports) options="--help" ;;
        read) options="--port --raw --help" ;;
        write) options="--port --repeat --each --from-row --record --user-tones --allow-overlap --help" ;;
        verify) options="--port --as-written --help" ;;
        show) options="--json --help" ;;
        diff) options="--port --json --help" ;;
        check) options="--each --json --user-tones --help" ;;
        set) options="--from --output --user-tones --help" ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    elif [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
    elif [[ $command == set && $cur == *=* ]]; then
        return
    elif [[ $command != ports ]]; then
        _filedir tbl
    fi
} && complete -F _px520_cli px520-cli
